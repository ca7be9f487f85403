#include "controls/modCtlCommon_ctl.h"

#include "controls/ctlUniToolTip.h"
#include "util/ErrorReport.h"

#include <memory>

namespace {
std::unique_ptr<ctlUniToolTip>& TipWindow() noexcept {
    static std::unique_ptr<ctlUniToolTip> window;
    return window;
}
} // namespace

TipState& SharedTipState() noexcept {
    static TipState state;
    return state;
}

void ShowTip(std::wstring_view tip, int32_t maxWidth, std::optional<std::wstring_view> tag) {
    if (!SharedTipState().tipsActive) {
        return;
    }
    ctlUniToolTip* window = ToolTipWindow();
    if (!window) {
        return;
    }
    if (tip.empty() && window->GetTip().empty() && !tag) {
        return;
    }
    window->SetTip(tip, maxWidth, tag);
}

ctlUniToolTip* ToolTipWindow() noexcept {
    std::unique_ptr<ctlUniToolTip>& loaded = TipWindow();
    if (!loaded) {
        try {
            auto window = std::make_unique<ctlUniToolTip>();
            if (!window->Load()) {
                return nullptr;
            }
            loaded = std::move(window);
        } catch (const std::exception& error) {
            ReportCaughtError(error, "ToolTipWindow");
            return nullptr;
        }
    }
    return loaded.get();
}

ctlUniToolTip* LoadedToolTipWindow() noexcept {
    return TipWindow().get();
}

void UnloadToolTipWindow() noexcept {
    if (TipWindow()) {
        // Moved out first: whatever the unload sets off finds no half-unloaded window here.
        std::unique_ptr<ctlUniToolTip> window = std::move(TipWindow());
        window->Unload();
    }
}
