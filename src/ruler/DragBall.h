#pragma once
// The red ball in the ruler's corner square: a small child window of the ruler, shaped like the ball,
// with a cursor of its own. Its mouse events go to the ball, not to the ruler: hovering it, pressing
// it, dragging it anywhere on the screen (it holds the mouse capture while a button is down) and
// letting it go are reported to its listener; a right click on it does nothing else.
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

    // Creates the ball at the client position (left, top) of the parent, shaped and visible.
    [[nodiscard]] bool Create(HWND parent, int left, int top);
    [[nodiscard]] bool IsDragging() const noexcept { return dragging_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnLeftButtonDown();
    void OnButtonUp();

    BallListener& listener_;
    UniqueBitmap image_; // the ball on its magenta key colour
    bool dragging_ = false;
};
