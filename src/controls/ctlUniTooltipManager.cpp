#include "controls/ctlUniTooltipManager.h"

#include "controls/ctlUniToolTip.h"
#include "controls/modCtlCommon_ctl.h"
#include "util/ErrorReport.h"

namespace {
// The tooltip window while tips are enabled.
ctlUniToolTip* EnabledWindow() noexcept {
    return SharedTipState().tipsActive ? LoadedToolTipWindow() : nullptr;
}
} // namespace

ctlUniTooltipManager::~ctlUniTooltipManager() {
    Deactivate();
}

void ctlUniTooltipManager::ReadProperties(const PropertyBag& p) noexcept {
    SkipOnError([&] { persistentTip_ = p.ReadBool("PersistentTip", false); });
    SkipOnError([&] { activateTips_ = p.ReadBool("ActivateTips", true); });
    SkipOnError([&] { tipBgColor_ = p.ReadLong("TipBgColor", kTipBackground); });
    SkipOnError([&] { tipFgColor_ = p.ReadLong("TipFgColor", kTipText); });
    SkipOnError([&] { tipFont_ = p.ReadFont("Font", StdFont{L"MS Sans Serif", 8.25}); });
    SkipOnError([&] { style_ = p.ReadLong("Style", -1); });
    SkipOnError([&] { transparency_ = p.ReadInteger("Transparency", 0); });
    SharedTipState().persistentTip = persistentTip_;
    if (activateTips_) {
        Activate();
    }
}

void ctlUniTooltipManager::WriteProperties(PropertyBag& p) const noexcept {
    SkipOnError([&] {
        p.WriteBool("PersistentTip", persistentTip_);
        p.WriteBool("ActivateTips", activateTips_);
        p.WriteLong("TipBgColor", tipBgColor_);
        p.WriteLong("TipFgColor", tipFgColor_);
        p.WriteFont("Font", tipFont_);
        p.WriteLong("Style", style_);
        p.WriteLong("Transparency", transparency_);
    });
}

void ctlUniTooltipManager::PersistentTip(bool value) noexcept {
    persistentTip_ = value;
    SharedTipState().persistentTip = value;
}

void ctlUniTooltipManager::ActivateTips(bool value) {
    activateTips_ = value;
    if (value) {
        SharedTipState().persistentTip = persistentTip_;
        Activate();
    } else {
        Deactivate();
    }
}

void ctlUniTooltipManager::TipBgColor(int32_t value) {
    tipBgColor_ = value;
    if (ctlUniToolTip* window = ToolTipWindow()) {
        window->Label().BackColor(value);
    }
}

void ctlUniTooltipManager::TipFgColor(int32_t value) {
    tipFgColor_ = value;
    if (ctlUniToolTip* window = ToolTipWindow()) {
        window->Label().ForeColor(value);
    }
}

void ctlUniTooltipManager::TipFont(const StdFont& value) {
    tipFont_ = value;
    if (ctlUniToolTip* window = ToolTipWindow()) {
        window->SetFont(value);
    }
}

void ctlUniTooltipManager::Style(int32_t value) {
    style_ = value;
    if (ctlUniToolTip* window = ToolTipWindow()) {
        window->Label().Style(value);
    }
}

void ctlUniTooltipManager::Transparency(int16_t value) {
    transparency_ = value;
    SharedTipState().transparency = value;
}

void ctlUniTooltipManager::SetTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag) {
    ShowTip(tip, lMaxWidth, sTag);
}

std::wstring ctlUniTooltipManager::GetTip() const {
    const ctlUniToolTip* window = EnabledWindow();
    return window ? window->GetTip() : std::wstring();
}

std::wstring ctlUniTooltipManager::GetTipTag() const {
    const ctlUniToolTip* window = EnabledWindow();
    return window ? window->GetTag() : std::wstring();
}

void ctlUniTooltipManager::UpdateTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag) {
    if (ctlUniToolTip* window = EnabledWindow()) {
        window->UpdateTip(tip, lMaxWidth, sTag);
    }
}

bool ctlUniTooltipManager::TipIsVisible() const noexcept {
    const ctlUniToolTip* window = EnabledWindow();
    return window && window->IsVisible();
}

void ctlUniTooltipManager::HideTip() {
    ShowTip(L"", 300);
}

void ctlUniTooltipManager::Activate() noexcept {
    SharedTipState().tipsActive = true;
    if (!counted_) {
        counted_ = true;
        ++SharedTipState().managers;
    }
    // The settings go to the tooltip window through the setters (which load it on first use).
    SkipOnError([&] { TipBgColor(tipBgColor_); });
    SkipOnError([&] { TipFgColor(tipFgColor_); });
    SkipOnError([&] { TipFont(tipFont_); });
    SkipOnError([&] { Style(style_); });
    SkipOnError([&] { Transparency(transparency_); });
}

void ctlUniTooltipManager::Deactivate() noexcept {
    if (!counted_) {
        return;
    }
    counted_ = false;
    if (--SharedTipState().managers <= 0) {
        UnloadToolTipWindow();
    }
}
