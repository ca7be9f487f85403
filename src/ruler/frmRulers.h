#pragma once
// The ruler window: borderless, top-most, without a taskbar button. The user moves it by dragging a
// bar (the window system runs the move) and resizes it by dragging its far ends (a 100-ms timer
// follows the cursor). The red ball in its corner fits it onto another window: dragged over the screen
// it outlines the window under the cursor, and released it moves and sizes the ruler so that the bars'
// inner edges lie on that window's top and left edges and its far ends on the right and bottom ones.
// It reads its place from the settings when created and writes it back when destroyed.
//
// It is drawn for the resolution of the monitor it is on: the bars are 40 pixels at 96 dots per inch,
// 60 at 144, and everything drawn, the ball and the sizing zones scale with them, while the readout
// counts the screen's pixels. It never stays where none of its bars can be seen: at load, after a
// change of the monitors or of the resolution, and when shown, it is brought onto the nearest
// monitor's work area if needed.
//
// Focused (a press on a bar gives it the focus), it answers the keyboard: the arrows move it by 1
// pixel (with Shift by 10), Ctrl with the arrows moves its right or bottom edge instead, Ctrl+C copies
// the readout as text, and Shift+F10 or the context-menu key opens the tray menu at its top-left corner.
#include "core/RulerScale.h"
#include "ruler/DragBall.h"
#include "ruler/RulerDrawing.h"
#include "ruler/RulerHost.h"
#include "ruler/frmWinSelector.h"
#include "util/Handles.h"
#include "util/SettingsStore.h"
#include "winmsg/WindowBase.h"

#include <string>

class frmRulers final : public WindowBase, private BallListener {
public:
    // The ruler's window class.
    static constexpr wchar_t ClassName[] = L"TrelvikRuler";
    // Where the cursor is over the window: which cursor it shows and what a left press does.
    enum class CursorZone { Hand, SizeWE, SizeNS };

    static constexpr UINT_PTR TimerRes = 1;
    static constexpr UINT TimerResInterval = 100;
    // The smallest width and height a stored size loads with, at any resolution.
    static constexpr int LoadMinimumSize = 200;
    // The smallest width and height at 96 dots per inch: the bars alone. Elsewhere the bars' thickness.
    static constexpr int DragMinimumSize = 40;
    // At 96 dots per inch; both scale with the resolution (RulerMetrics).
    static constexpr int SizingZone = 5;
    static constexpr int BallSize = DragBall::Size;
    // How far an arrow key moves the ruler or one of its edges, in pixels, without and with Shift.
    static constexpr int KeyStep = 1;
    static constexpr int ShiftKeyStep = 10;

    frmRulers(RulerHost& host, SettingsStore& settings);
    ~frmRulers() override;

    // Creates the window hidden at its stored place, corrected, top-most, with its transparency.
    [[nodiscard]] bool Load();
    // Writes the place, size and visibility to the settings, then destroys the window.
    void Unload() noexcept;

    // Redraws the persistent image of the ruler for its current size and unit.
    void CreateRulers();
    // Sizes the measured area to xSize x ySize pixels, centres the ruler on the virtual screen and shows it.
    void SetSize(int xSize, int ySize);
    // Applies the check mark of the transparency item: 90 percent opacity when checked, else 100.
    void CheckTransparency();

    void Show() noexcept;
    void Hide() noexcept;
    // Hides a shown ruler, shows a hidden one.
    void ToggleShown() noexcept;
    void MoveTo(int left, int top) noexcept;
    // Brings the ruler onto the nearest monitor's work area when none of its bars lies on a monitor.
    void KeepReachable() noexcept;

    // The resolution the ruler is drawn for (the monitor's, from the window system), its drawn sizes,
    // and the bars' thickness: what the measured area begins after and a preset size adds.
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    [[nodiscard]] RulerMetrics Metrics() const noexcept { return RulerMetricsAt(dpi_); }
    [[nodiscard]] int BarSize() const noexcept { return Metrics().bar; }
    // The readout as last drawn, e.g. "390.00x290.00 px".
    [[nodiscard]] const std::wstring& ReadoutShown() const noexcept { return readout_; }
    // Puts the readout as shown on the clipboard as Unicode text; false when the clipboard refused it.
    [[nodiscard]] bool CopyReadout() noexcept;
    // Opens the tray menu at the ruler's top-left corner, as the menu keys do.
    void OpenMenuAtCorner();

    // The zone for a client position of a window of the given client size; the right zone wins. The
    // zones are the last sizingZone pixels of each side.
    [[nodiscard]] static CursorZone ZoneAt(int x, int y, int width, int height, int sizingZone = SizingZone) noexcept;
    [[nodiscard]] CursorZone Zone() const noexcept { return zone_; }
    [[nodiscard]] bool IsResizing() const noexcept { return resizing_; }
    // The red ball's place in the corner square (client coordinates) at a resolution.
    [[nodiscard]] static RECT BallRect(int dpi = DesignDpi) noexcept;
    [[nodiscard]] HWND BallWindow() const noexcept { return picDrag_.hwnd(); }

    // Frames the given window (its visible frame, screen pixels) with the measuring outline.
    void OutlineWindow(HWND window);
    // The measuring outline, while one is shown.
    [[nodiscard]] const frmWinSelector& Outline() const noexcept { return frmWinSelector_; }
    // The tip the ball shows: what it does and the size the ruler measures now.
    [[nodiscard]] std::wstring BallTipText() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct ResizeDrag {
        POINT start{};
        POINT current{};
        int startWidth = 0;
        int startHeight = 0;
    };

    void OnSize(UINT state);
    void OnDpiChanged(UINT dpi);
    [[nodiscard]] bool OnKeyDown(WPARAM key);
    void MoveBy(int dx, int dy) noexcept;
    void ResizeBy(int dWidth, int dHeight) noexcept;
    void OnPaint();
    void OnMouseMove(WPARAM keys, int x, int y);
    bool OnSetCursor(LPARAM lParam);
    void OnLeftButtonDown(POINT client);
    void TakeFocus() noexcept;
    void OnButtonUp(bool rightButton);
    void OnTimer(UINT_PTR id);
    void OnCaptureChanged(HWND newCapture);
    void StopResizing() noexcept;
    [[nodiscard]] HCURSOR CursorFor(CursorZone zone) const noexcept;

    // BallListener
    void OnBallHover() override;
    void OnBallPress() override;
    void OnBallDrag() override;
    void OnBallRelease() override;
    void OnBallDragLost() override;

    RulerHost& host_;
    SettingsStore& settings_;
    int dpi_ = DesignDpi;
    std::wstring readout_;
    HCURSOR handCursor_ = nullptr; // shared resource cursor: not destroyed
    CursorZone zone_ = CursorZone::Hand;
    bool resizing_ = false;
    ResizeDrag drag_;
    RulerImage image_; // what the window shows; copied on every WM_PAINT
    RulerShape shape_;
    DragBall picDrag_{*this};
    frmWinSelector frmWinSelector_;
    // The window outlined last during the current drag of the ball (a drag starts without one).
    HWND LastOutlinedWindow_ = nullptr;
};
