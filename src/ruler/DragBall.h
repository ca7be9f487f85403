#pragma once
// The red ball in the ruler's corner square: a small child window of the ruler, shaped like the ball,
// with a cursor of its own. Its mouse events go to the ball, not to the ruler: hovering it, pressing
// it, dragging it anywhere on the screen (it holds the mouse capture while a button is down) and
// letting it go are reported to its listener; a right click on it does nothing else. Its design size
// is 15 pixels (the ball bitmap); on a monitor of another resolution it is drawn afresh at its size.
#include "util/Handles.h"
#include "winmsg/WindowBase.h"

class BallListener {
public:
    // The mouse moves over the ball with no button held.
    virtual void OnBallHover() = 0;
    // The left button went down on the ball: a drag starts.
    virtual void OnBallPress() = 0;
    // The mouse moves anywhere while the button that went down on the ball is held.
    virtual void OnBallDrag() = 0;
    // A button went up (any button: the release of a drag, or a click).
    virtual void OnBallRelease() = 0;
    // Another window took the mouse in the middle of a drag: its release will never come.
    virtual void OnBallDragLost() = 0;

protected:
    ~BallListener() = default;
};

class DragBall final : public WindowBase {
public:
    static constexpr int Size = 15;

    explicit DragBall(BallListener& listener) noexcept : listener_(listener) {}
    ~DragBall() override;

    // Creates the ball, `size` pixels square, at the client position (left, top) of the parent,
    // shaped and visible.
    [[nodiscard]] bool Create(HWND parent, int left, int top, int size = Size);
    // Moves the ball and gives it another size, with its picture and shape made for that size.
    void Place(int left, int top, int size);
    [[nodiscard]] bool IsDragging() const noexcept { return dragging_; }
    [[nodiscard]] int BallSize() const noexcept { return size_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Loads or draws the picture for `size` and shapes the window to it.
    void MakeImage(int size);
    void OnPaint();
    void OnLeftButtonDown();
    void OnButtonUp();

    BallListener& listener_;
    UniqueBitmap image_; // the ball on its magenta key colour
    int size_ = Size;
    bool dragging_ = false;
};

// The ball's key colour, which is not part of the ball.
inline constexpr COLORREF BallKeyColour = RGB(255, 0, 255);

// The ball drawn at `size` pixels square as a 24-bit bitmap on the key colour: a shaded red disc lit
// from the upper left with a white highlight and a darker rim, pixel for pixel the resource bitmap at
// 15 pixels. Crisp at every size: each pixel is either the ball's or the key colour.
[[nodiscard]] UniqueBitmap DrawBallBitmap(int size);
