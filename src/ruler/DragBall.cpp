#include "ruler/DragBall.h"

#include "draw/clsRegions.h"
#include "resource.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
constexpr wchar_t kClassName[] = L"TrelvikBall";
} // namespace

UniqueBitmap DrawBallBitmap(int size) {
    if (size <= 0) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 24, BI_RGB};
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return {};
    }
    const size_t stride = (static_cast<size_t>(size) * 3 + 3) / 4 * 4;
    auto* rows = static_cast<uint8_t*>(bits);
    // The same lighting model the resource bitmap was made with, in double precision, rounded halves
    // to even, so that the design size comes out identical.
    const double centre = size / 2.0;
    const double radius = size / 2.0 - 0.1;
    double light[3] = {-0.45, -0.55, 0.70};
    const double norm = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    for (double& v : light) {
        v /= norm;
    }
    for (int y = 0; y < size; ++y) {
        uint8_t* pixel = rows + stride * static_cast<size_t>(y);
        for (int x = 0; x < size; ++x, pixel += 3) {
            const double dx = (x + 0.5 - centre) / radius;
            const double dy = (y + 0.5 - centre) / radius;
            const double d2 = dx * dx + dy * dy;
            int rgb[3] = {GetRValue(BallKeyColour), GetGValue(BallKeyColour), GetBValue(BallKeyColour)};
            if (d2 <= 1.0) {
                const double dz = std::sqrt(1.0 - d2);
                const double diffuse = std::max(0.0, dx * light[0] + dy * light[1] + dz * light[2]);
                const double specular = std::pow(diffuse, 12);
                // Deep red in shadow to bright red in the light, then a white highlight on top.
                const double base[3] = {90 + 165 * diffuse, 10 + 20 * diffuse, 10 + 20 * diffuse};
                for (int c = 0; c < 3; ++c) {
                    rgb[c] = std::min(255, static_cast<int>(std::nearbyint(base[c] + (255 - base[c]) * specular)));
                    // A darker rim keeps a clean outline against any background.
                    if (d2 > 0.80) {
                        rgb[c] = static_cast<int>(rgb[c] * 0.7);
                    }
                }
            }
            pixel[0] = static_cast<uint8_t>(rgb[2]);
            pixel[1] = static_cast<uint8_t>(rgb[1]);
            pixel[2] = static_cast<uint8_t>(rgb[0]);
        }
    }
    ::GdiFlush();
    return bitmap;
}

DragBall::~DragBall() {
    Destroy();
}

bool DragBall::Create(HWND parent, int left, int top, int size) {
    if (IsCreated()) {
        return true;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ClassInfo cls{kClassName};
    cls.cursor = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_BALL));
    if (!CreateWindowFor(cls, 0, WS_CHILD | WS_CLIPSIBLINGS, L"Drag to any window to measure it", left, top, size, size,
                         parent)) {
        return false;
    }
    MakeImage(size);
    ::ShowWindow(hwnd(), SW_SHOWNA);
    return true;
}

void DragBall::Place(int left, int top, int size) {
    if (!IsCreated()) {
        return;
    }
    ::SetWindowPos(hwnd(), nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    if (size != size_) {
        MakeImage(size);
    }
}

void DragBall::MakeImage(int size) {
    size_ = size;
    if (size == Size) {
        image_.reset(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BALL),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    } else {
        image_ = DrawBallBitmap(size);
    }
    // Only the ball itself: the corners of its square stay the ruler's, for moving it.
    if (image_) {
        (void)clsRegions().RegionFromBitmap(image_.get(), hwnd(), static_cast<int32_t>(BallKeyColour), false, 0, 0, 0,
                                            0);
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
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
    ::BitBlt(paint.get(), 0, 0, size_, size_, source.get(), 0, 0, SRCCOPY);
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
