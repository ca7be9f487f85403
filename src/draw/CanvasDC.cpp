#include "draw/CanvasDC.h"

#include <utility>

#include "draw/DrawHelpers.h"

CanvasDC::CanvasDC(CanvasDC&& other) noexcept
    : dc_(std::move(other.dc_)), previous_(std::exchange(other.previous_, nullptr)) {}

CanvasDC& CanvasDC::operator=(CanvasDC&& other) noexcept {
    if (this != &other) {
        Close();
        dc_ = std::move(other.dc_);
        previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
}

bool CanvasDC::Open(HDC reference) noexcept {
    Close();
    dc_.reset(::CreateCompatibleDC(reference));
    return static_cast<bool>(dc_);
}

bool CanvasDC::Select(HBITMAP bitmap, int32_t bkMode) noexcept {
    if (!dc_ || previous_ != nullptr || bitmap == nullptr) {
        return false;
    }
    const HGDIOBJ previous = ::SelectObject(dc_.get(), bitmap);
    if (previous == nullptr || previous == HGDI_ERROR) {
        return false;
    }
    previous_ = previous;
    ::SetStretchBltMode(dc_.get(), COLORONCOLOR);
    ::SetBkMode(dc_.get(), bkMode);
    return true;
}

void CanvasDC::Close() noexcept {
    if (dc_ && previous_ != nullptr) {
        ::SelectObject(dc_.get(), previous_);
    }
    previous_ = nullptr;
    dc_.reset();
}

int32_t CanvasDC::BkMode() const noexcept {
    return dc_ ? ::GetBkMode(dc_.get()) : 0;
}

void CanvasDC::BkMode(int32_t mode) noexcept {
    if (dc_) {
        ::SetBkMode(dc_.get(), mode);
    }
}

int32_t CanvasDC::BkColor() const noexcept {
    return dc_ ? static_cast<int32_t>(::GetBkColor(dc_.get())) : 0;
}

void CanvasDC::BkColor(int32_t colour) {
    if (dc_) {
        ::SetBkColor(dc_.get(), static_cast<COLORREF>(TranslateColor(colour)));
    }
}

void CanvasDC::Fill(int32_t width, int32_t height, int32_t colour) {
    if (dc_) {
        FillOrFrameRectXY(dc_.get(), 0, 0, width, height, colour, true);
    }
}

CanvasDC::CopyFailure CanvasDC::CopyBitmapIn(HBITMAP bitmap, int32_t width, int32_t height) const noexcept {
    const UniqueMemoryDC source(::CreateCompatibleDC(dc_.get()));
    if (!source) {
        return CopyFailure::NoDC;
    }
    const SelectGuard selection(source.get(), bitmap);
    if (!selection.selected()) {
        return CopyFailure::NotSelected;
    }
    ::BitBlt(dc_.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    return CopyFailure::None;
}

void CanvasDC::PaintPicture(HDC dc, int32_t ownWidth, int32_t ownHeight, int32_t destLeft, int32_t destTop,
                            int32_t destWidth, int32_t destHeight, int32_t srcLeft, int32_t srcTop, int32_t srcWidth,
                            int32_t srcHeight, DWORD rop) const noexcept {
    if (!dc_) {
        return;
    }
    destWidth = destWidth < 0 ? ownWidth : destWidth;
    destHeight = destHeight < 0 ? ownHeight : destHeight;
    srcWidth = srcWidth < 0 ? ownWidth : srcWidth;
    srcHeight = srcHeight < 0 ? ownHeight : srcHeight;
    if (destWidth == srcWidth && destHeight == srcHeight) {
        ::BitBlt(dc, destLeft, destTop, destWidth, destHeight, dc_.get(), srcLeft, srcTop, rop);
    } else {
        ::StretchBlt(dc, destLeft, destTop, destWidth, destHeight, dc_.get(), srcLeft, srcTop, srcWidth, srcHeight,
                     rop);
    }
}
