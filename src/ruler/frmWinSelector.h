#pragma once
// The measuring outline: a borderless, top-most window without a taskbar button that frames another
// window with a ring two pixels wide, red outside and yellow inside. Everything inside the ring is cut
// out of its shape, so it neither hides nor catches the mouse over the window it outlines.
#include "winmsg/WindowBase.h"

class frmWinSelector final : public WindowBase {
public:
    static constexpr COLORREF OuterColor = RGB(255, 0, 0);
    static constexpr COLORREF InnerColor = RGB(255, 255, 0);

    frmWinSelector() = default;
    ~frmWinSelector() override;

    // Places the outline exactly on the screen rectangle and shows it top-most without activating it;
    // the window is created on first use. False when it cannot be created.
    [[nodiscard]] bool OutlineRect(const RECT& rect);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnSize(UINT state);
    void Paint(HDC dc);
};
