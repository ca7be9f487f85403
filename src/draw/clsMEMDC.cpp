#include "draw/clsMEMDC.h"

#include <string>
#include <utility>

#include "core/AppError.h"

namespace {

// The size of the bitmap; 0 x 0 when the handle is no bitmap.
SIZE BitmapSize(HGDIOBJ bitmap) noexcept {
    BITMAP info{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

void clsMEMDC::Raise(const char* operation, const char* message) {
    std::string source = std::string("clsMemDC.") + operation;
    std::string description = source + "." + message;
    throw AppError(AppError::kToolkitError, std::move(source), std::move(description));
}

void clsMEMDC::CreateDC(int32_t width, int32_t height, int32_t bkMode) {
    Destroy();
    // A negative size is a caller's slip and still gets a usable canvas; 0 is taken as asked.
    if (width < 0) {
        width = 1;
    }
    if (height < 0) {
        height = 1;
    }

    // Compatible with the screen, so that copies to and from window DCs need no conversion.
    const WindowDC desktop(::GetDesktopWindow());
    if (!dc_.Open(desktop.get())) {
        Raise("CreateDC", "HDC not created");
    }
    // A 0-wide or 0-high request gives the system's 1 x 1 stock bitmap, which deleting leaves alone.
    bitmap_.reset(::CreateCompatibleBitmap(desktop.get(), width, height));
    if (!bitmap_) {
        Raise("CreateDC", "hBmp not created");
    }
    if (!dc_.Select(bitmap_.get(), bkMode)) {
        Raise("CreateDC", "Bitmap not selected");
    }
    width_ = width;
    height_ = height;
}

void clsMEMDC::ResizeCutDC(int32_t newWidth, int32_t newHeight, int32_t newBkMode) {
    if (!dc_) {
        CreateDC(newWidth, newHeight, newBkMode);
        return;
    }
    clsMEMDC old;
    old.CloneFromHdc(dc_.get(), 0, 0, width_, height_, SRCCOPY);
    // A size below 1 makes CloneFromHdc take the old canvas's size for both, which is the rule here.
    CloneFromHdc(old.hDC(), 0, 0, newWidth, newHeight, SRCCOPY);
}

void clsMEMDC::ResizeAdaptDC(int32_t newWidth, int32_t newHeight, int32_t newBkMode) {
    if (!dc_) {
        CreateDC(newWidth, newHeight, newBkMode);
        return;
    }
    clsMEMDC old;
    old.CloneFromHdc(dc_.get(), 0, 0, width_, height_, SRCCOPY);
    CreateDC(newWidth, newHeight, old.BkMode());
    old.PaintPicture(dc_.get(), 0, 0, width_, height_, 0, 0, old.Width(), old.Height(), SRCCOPY);
}

void clsMEMDC::CloneFromHBmp(HBITMAP bitmap, int32_t bkMode) {
    if (bitmap && bitmap == bitmap_.get()) {
        // CreateDC would delete the source before the copy, and the bitmap cannot be selected into a
        // second DC: copy it through our own DC into a canvas aside and take that over.
        clsMEMDC copy;
        copy.CloneFromHdc(dc_.get(), 0, 0, width_, height_, SRCCOPY);
        copy.BkMode(bkMode);
        TakeOver(copy);
        return;
    }
    const SIZE size = BitmapSize(bitmap);
    CreateDC(size.cx, size.cy, bkMode);
    BkMode(bkMode);

    switch (dc_.CopyBitmapIn(bitmap, width_, height_)) {
    case CanvasDC::CopyFailure::NoDC:
        Raise("CloneFromhBmp", "HDC not created");
    case CanvasDC::CopyFailure::NotSelected:
        Raise("CloneFromhBmp", "Bitmap not selected");
    case CanvasDC::CopyFailure::None:
        break;
    }
}

void clsMEMDC::CloneFromHdc(HDC dc, int32_t srcLeft, int32_t srcTop, int32_t srcWidth, int32_t srcHeight, DWORD rop) {
    if (dc && dc == dc_.get()) {
        // CreateDC would delete the source before the copy: build the copy aside and take it over.
        clsMEMDC copy;
        copy.CloneFromHdc(dc, srcLeft, srcTop, srcWidth, srcHeight, rop);
        TakeOver(copy);
        return;
    }
    if (srcWidth < 1 || srcHeight < 1) {
        const SIZE size = BitmapSize(::GetCurrentObject(dc, OBJ_BITMAP));
        srcWidth = size.cx;
        srcHeight = size.cy;
    }
    const int mode = ::GetBkMode(dc);
    CreateDC(srcWidth, srcHeight, mode);
    ::BitBlt(dc_.get(), 0, 0, width_, height_, dc, srcLeft, srcTop, rop);
}

void clsMEMDC::TakeOver(clsMEMDC& other) noexcept {
    Destroy();
    dc_ = std::move(other.dc_);
    bitmap_ = std::move(other.bitmap_);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
}

void clsMEMDC::Destroy() noexcept {
    dc_.Close();
    bitmap_.reset();
    width_ = 0;
    height_ = 0;
}

HBITMAP clsMEMDC::ReleasehBmp() noexcept {
    // Forget the bitmap first, so that Destroy only selects it out and deletes the DC.
    const HBITMAP bitmap = bitmap_.release();
    Destroy();
    return bitmap;
}

::Picture clsMEMDC::Picture() noexcept {
    return ::Picture::FromBitmap(ReleasehBmp());
}
