#pragma once
// A drawing target whose pixels a test can read back exactly: a top-down 32-bpp DIB section selected
// into its own memory DC. Paint into dc(), then read with pixel(); GDI output is flushed first.
#include <windows.h>

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "util/Handles.h"

class DibCanvas {
public:
    // A width x height canvas with every pixel set to fill (an RGB value). ok() tells whether GDI
    // made it.
    DibCanvas(int width, int height, COLORREF fill)
        : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)),
          bitmap_(CreateSection(dc_.get(), width, height, &bits_)), select_(dc_.get(), bitmap_.get()) {
        Fill(fill);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    [[nodiscard]] bool ok() const noexcept { return dc_ && bits_ != nullptr && select_.selected(); }
    [[nodiscard]] HDC dc() const noexcept { return dc_.get(); }
    // Still selected into dc(): lend it only to calls that expect a bitmap held by a DC.
    [[nodiscard]] HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    [[nodiscard]] int width() const noexcept { return width_; }
    [[nodiscard]] int height() const noexcept { return height_; }

    // Sets every pixel to colour, bypassing GDI (so no drawing function under test is involved).
    void Fill(COLORREF colour) noexcept {
        if (bits_ == nullptr) {
            return;
        }
        ::GdiFlush();
        const uint32_t value = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        const size_t count = static_cast<size_t>(width_) * height_;
        for (size_t i = 0; i < count; ++i) {
            bits_[i] = value;
        }
    }

    // The pixel at (x, y) as a COLORREF (the DIB stores blue in the low byte).
    [[nodiscard]] COLORREF pixel(int x, int y) const noexcept {
        assert(bits_ != nullptr && x >= 0 && x < width_ && y >= 0 && y < height_);
        ::GdiFlush();
        const uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    static HBITMAP CreateSection(HDC dc, int width, int height, uint32_t** bits) noexcept {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* raw = nullptr;
        const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        *bits = bitmap ? static_cast<uint32_t*>(raw) : nullptr;
        return bitmap;
    }

    // Declaration order is construction order: bits_ is written while bitmap_ is made. Destruction
    // runs backwards, so select_ puts the DC's previous bitmap back before bitmap_ is deleted (a
    // selected bitmap cannot be) and dc_ goes last.
    int width_;
    int height_;
    uint32_t* bits_ = nullptr;
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    SelectGuard select_;
};
