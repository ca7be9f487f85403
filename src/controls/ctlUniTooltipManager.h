#pragma once
// The invisible tooltip manager a form carries when it wants tips. While at least one manager is
// active, tips are enabled for the whole process, and the active managers' settings (colours, font,
// face style, transparency, persistence) apply to the one tooltip window. Controls never talk to a
// manager; they call ShowTip (modCtlCommon_ctl.h).
//
// A manager counts itself in when it activates (reading its properties with ActivateTips on, or
// ActivateTips set true) and out when it deactivates (ActivateTips set false, or its end); when the
// last one goes out, the tooltip window is unloaded.
#include "controls/PropertyBag.h"
#include "draw/clsFontHDC.h"

#include <optional>
#include <string>
#include <string_view>

class ctlUniTooltipManager {
public:
    static constexpr int32_t kTipBackground = static_cast<int32_t>(0x80000018);
    static constexpr int32_t kTipText = static_cast<int32_t>(0x80000017);

    ctlUniTooltipManager() = default;
    ~ctlUniTooltipManager();
    ctlUniTooltipManager(const ctlUniTooltipManager&) = delete;
    ctlUniTooltipManager& operator=(const ctlUniTooltipManager&) = delete;

    // Restores the stored settings ("PersistentTip", "ActivateTips", "TipBgColor", "TipFgColor",
    // "Font", "Style", "Transparency"; a missing one takes its default, one that cannot be read keeps
    // its value), then activates the manager if ActivateTips is on.
    void ReadProperties(const PropertyBag& properties) noexcept;
    void WriteProperties(PropertyBag& properties) const noexcept;

    [[nodiscard]] bool PersistentTip() const noexcept { return persistentTip_; }
    // Copied to the process-wide flag at once.
    void PersistentTip(bool value) noexcept;
    [[nodiscard]] bool ActivateTips() const noexcept { return activateTips_; }
    void ActivateTips(bool value);
    // Applied to the tooltip window's face (system colour codes allowed).
    [[nodiscard]] int32_t TipBgColor() const noexcept { return tipBgColor_; }
    void TipBgColor(int32_t value);
    [[nodiscard]] int32_t TipFgColor() const noexcept { return tipFgColor_; }
    void TipFgColor(int32_t value);
    [[nodiscard]] const StdFont& TipFont() const noexcept { return tipFont_; }
    void TipFont(const StdFont& value);
    // The face's frame style, -1 for 3.
    [[nodiscard]] int32_t Style() const noexcept { return style_; }
    void Style(int32_t value);
    // How transparent tips are, in percent (0 opaque).
    [[nodiscard]] int16_t Transparency() const noexcept { return transparency_; }
    void Transparency(int16_t value);

    // The tip service as the form sees it; GetTip and GetTipTag read "" and TipIsVisible false while
    // tips are disabled.
    void SetTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag = std::nullopt);
    [[nodiscard]] std::wstring GetTip() const;
    [[nodiscard]] std::wstring GetTipTag() const;
    void UpdateTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag = std::nullopt);
    [[nodiscard]] bool TipIsVisible() const noexcept;
    void HideTip();

private:
    void Activate() noexcept;
    void Deactivate() noexcept;

    bool persistentTip_ = false;
    bool activateTips_ = true;
    int32_t tipBgColor_ = kTipBackground;
    int32_t tipFgColor_ = kTipText;
    StdFont tipFont_{L"MS Sans Serif", 8.25};
    int32_t style_ = -1;
    int16_t transparency_ = 0;
    // Counted among the active managers: counted in and out once each, however often ActivateTips
    // is set.
    bool counted_ = false;
};
