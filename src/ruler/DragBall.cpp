#include "ruler/DragBall.h"

#include "draw/clsRegions.h"
#include "resource.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikBall";
// The ball bitmap's background, which is not part of the ball.
constexpr int32_t kKeyColour = RGB(255, 0, 255);
} // namespace

DragBall::~DragBall() {
    Destroy();
}

bool DragBall::Create(HWND parent, int left, int top) {
    if (IsCreated()) {
        return true;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    image_.reset(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_BALL), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ClassInfo cls{kClassName};
    cls.cursor = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_BALL));
    if (!CreateWindowFor(cls, 0, WS_CHILD | WS_CLIPSIBLINGS, L"Drag to any window to measure it", left, top, Size, Size,
                         parent)) {
        return false;
    }
    // Only the ball itself: the corners of its square stay the ruler's, for moving it.
    if (image_) {
        (void)clsRegions().RegionFromBitmap(image_.get(), hwnd(), kKeyColour, false, 0, 0, 0, 0);
    }
    ::ShowWindow(hwnd(), SW_SHOWNA);
    return true;
}

LRESULT DragBall::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            listener_.OnBallDrag();
        } else if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
            listener_.OnBallHover();
        }
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown();
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        OnButtonUp();
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return 0; // the ball's own: no menu, nothing for the ruler
    case WM_CAPTURECHANGED:
        if (dragging_ && reinterpret_cast<HWND>(lParam) != hwnd()) {
            dragging_ = false;
            listener_.OnBallDragLost();
        }
        return 0;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void DragBall::OnPaint() {
    PaintDC paint(hwnd());
    if (!image_) {
        return;
    }
    UniqueMemoryDC source(::CreateCompatibleDC(paint.get()));
    SelectGuard select(source.get(), image_.get());
    // The window's shape already leaves out the key colour around the ball.
    ::BitBlt(paint.get(), 0, 0, Size, Size, source.get(), 0, 0, SRCCOPY);
}

void DragBall::OnLeftButtonDown() {
    dragging_ = true;
    // Moves keep coming wherever the cursor goes, until the button is released.
    ::SetCapture(hwnd());
    listener_.OnBallPress();
}

void DragBall::OnButtonUp() {
    const bool wasDragging = dragging_;
    dragging_ = false;
    if (wasDragging && ::GetCapture() == hwnd()) {
        ::ReleaseCapture(); // WM_CAPTURECHANGED finds the drag already over
    }
    listener_.OnBallRelease();
}
