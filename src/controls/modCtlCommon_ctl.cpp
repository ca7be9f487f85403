#include "controls/modCtlCommon_ctl.h"

#include "controls/ctlUniToolTip.h"

#include <memory>

namespace {
// The state the controls of the process share. One GUI thread: no locking.
struct TipState {
    bool tipsActive = false;
    bool persistentTip = false;
    int16_t transparency = 0;
    int32_t managers = 0;
    std::unique_ptr<ctlUniToolTip> window;
};

TipState& State() noexcept {
    static TipState state;
    return state;
}
} // namespace

void ShowTip(std::wstring_view tip, int32_t maxWidth, std::optional<std::wstring_view> tag) {
    if (!TipsActive()) {
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

bool TipsActive() noexcept {
    return State().tipsActive;
}
void TipsActive(bool value) noexcept {
    State().tipsActive = value;
}
bool PersistentTipFlag() noexcept {
    return State().persistentTip;
}
void PersistentTipFlag(bool value) noexcept {
    State().persistentTip = value;
}
int16_t TipTransparency() noexcept {
    return State().transparency;
}
void TipTransparency(int16_t percent) noexcept {
    State().transparency = percent;
}
int32_t ActiveTipManagers() noexcept {
    return State().managers;
}
void ActiveTipManagers(int32_t count) noexcept {
    State().managers = count;
}

ctlUniToolTip* ToolTipWindow() noexcept {
    TipState& state = State();
    if (!state.window) {
        try {
            auto window = std::make_unique<ctlUniToolTip>();
            if (!window->Load()) {
                return nullptr;
            }
            state.window = std::move(window);
        } catch (...) {
            return nullptr;
        }
    }
    return state.window.get();
}

ctlUniToolTip* LoadedToolTipWindow() noexcept {
    return State().window.get();
}

void UnloadToolTipWindow() noexcept {
    TipState& state = State();
    if (state.window) {
        // Moved out first: whatever the unload sets off finds no half-unloaded window here.
        std::unique_ptr<ctlUniToolTip> window = std::move(state.window);
        window->Unload();
    }
}
