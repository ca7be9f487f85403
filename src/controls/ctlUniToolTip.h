#pragma once
// The tooltip window: one per process, a borderless, top-most window that is never activated and
// whose whole face is a flicker-free label. A tip is shown 400 ms after the cursor stops, next to the
// cursor and inside the monitor under it, stays up to 3 s (longer with the persistent-tip flag) and
// goes as soon as the cursor moves (checked every 100 ms). It word-wraps at its maximum width.
// Three windowless timers drive it; none of them runs while no tip is pending or shown.
//
// The window carries the tip it shows as its window text, so screen readers read it. It is made and
// ended by the tip service (modCtlCommon_ctl.h), which holds the process-wide tip state.
#include "controls/ctlUniLabelNoFlick.h"
#include "draw/clsFontHDC.h"
#include "winmsg/WindowBase.h"
#include "winmsg/cUniTimer.h"

#include <optional>
#include <string>
#include <string_view>

class ctlUniToolTip final : public WindowBase, public iTimer2 {
public:
    static constexpr wchar_t ClassName[] = L"TrelvikTip";
    // The timers: the pause before a tip shows, its display time, and the cursor watch while it shows.
    enum TimerId : int32_t { ShowTimer = 0, DisplayTimer = 1, TrackTimer = 2 };
    static constexpr UINT ShowDelayMs = 400;
    static constexpr UINT DisplayMs = 3000;
    static constexpr UINT TrackMs = 100;

    ctlUniToolTip() = default;
    ~ctlUniToolTip() override;

    // Creates the hidden window and its label: tooltip colours, no tip, no tag, no maximum width.
    [[nodiscard]] bool Load();
    // Stops the timers and destroys the window; tips are disabled from then on (tipsActive). Requests
    // that arrive meanwhile do nothing.
    void Unload() noexcept;

    // Asks for `tip` to be shown once the cursor rests (restarting the pause); a tip of only spaces
    // hides the window instead. maxWidth: wrap width in pixels, below 1 for one line. A given tag is
    // stored.
    void SetTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag = std::nullopt);
    // Changes the text (and re-lays out a shown tip) without touching the timers.
    void UpdateTip(std::wstring_view tip, int32_t lMaxWidth, std::optional<std::wstring_view> sTag = std::nullopt);
    [[nodiscard]] const std::wstring& GetTip() const noexcept { return tip_; }
    [[nodiscard]] const std::wstring& GetTag() const noexcept { return tag_; }
    [[nodiscard]] StdFont GetFont() const { return lblTip_.Font(); }
    void SetFont(const StdFont& font);
    // Stops all three timers and hides the window.
    void HideTip() noexcept;

    // The face, for the manager's colour and style settings.
    [[nodiscard]] ctlUniLabelNoFlick& Label() noexcept { return lblTip_; }
    [[nodiscard]] bool TimerActive(TimerId id) const noexcept { return timers_[id].IsActive(); }

    // The timers' tick (iTimer2).
    void Proc(int32_t lElapsedMS, int32_t lTimerID) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // What every request starts with: nothing while unloading; a given tag is stored; a blank tip
    // hides the window and is kept. True when there is a tip to go on with.
    [[nodiscard]] bool TakeRequest(std::wstring_view tip, std::optional<std::wstring_view> sTag);
    // The tip becomes the current one; a shown tip is laid out and placed again.
    void ApplyTip(std::wstring_view tip, int32_t lMaxWidth);
    // The caption the label shows: the tip without its outer spaces, and one space after it.
    void SetCaption(std::wstring_view tip);
    // Sizes the label for the caption and the window for the label.
    void LayoutTip();
    // Shows the window at the recorded cursor position (or moves it there) and applies the
    // process-wide transparency when it changed.
    void PlaceTip();
    [[nodiscard]] bool CursorUnmoved(const POINT& cursor) const noexcept {
        return cursor.x == cursor_.x && cursor.y == cursor_.y;
    }
    void StopTimer(TimerId id) noexcept { (void)timers_[id].TmrStop(); }
    void StartTimer(TimerId id, UINT interval) noexcept { (void)timers_[id].TmrStart(*this, interval, id); }

    ctlUniLabelNoFlick lblTip_;
    std::wstring tip_;
    std::wstring tag_;
    int32_t maxWidth_ = -1;
    POINT cursor_{};
    int16_t appliedTransparency_ = 0;
    bool unloading_ = false;
    cUniTimer timers_[3];
};
