#pragma once
// The picture painter: draws a picture (a bitmap or an icon) centred into a box of a DC, optionally
// with one colour left out (transparent) and optionally greyed for the disabled look. The owner-drawn
// menu draws every item picture and its check tick with it, the image button its picture.
//
// Bitmaps are worked on as 32-bit pixels in memory: the picture's pixels are read once, and for a
// transparent or greyed picture the box's background is copied into a 32-bit DIB, the picture laid
// over it there and the box written back in one copy. Icons are drawn pixel by pixel. Every GDI object
// a call makes is gone when it returns, also after a failure.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "draw/Picture.h"
#include "draw/clsDIBSection.h"

// Draws the picture into the box (left, top) - (right, bottom), right and bottom exclusive. Nothing
// happens for nullptr, an empty picture or a box with no width or height.
//
// Bitmaps: the top-left w x h part of the picture is drawn, never scaled, where w is width (the
// picture's width when negative) cut to the picture's and the box's width, and h likewise; it is
// centred with offsets (W - w) / 2 and (H - h) / 2 truncated. Opaque and enabled, it is a straight
// copy. Otherwise every pixel of the colour transColor is left out when transparent is true
// (transColor -1: the colour of the picture's pixel (sampleX, sampleY); a point outside the picture
// leaves nothing out), and the drawn pixels become GreyOf greys when disabled. In that case the
// vertical offset counts from the bottom of the box, so with an odd H - h the picture sits one pixel
// lower than a straight copy.
//
// Icons: the mask decides transparency (white mask pixels are left out when transparent is true);
// a negative width or height stands for the box's; the icon's top-left part of that size is centred
// with offsets rounded half to even and drawn pixel by pixel, greyed when disabled. It is not cut to
// the box: a width or height larger than the box's lets the icon reach beyond it.
//
// Failures are swallowed: the box then shows whatever had been painted before.
void DrawPictureInBox(HDC dc, int left, int top, int right, int bottom, bool disabled, const Picture* picture,
                      bool transparent, int width, int height, int sampleX, int sampleY, int32_t transColor) noexcept;
// The same with the box given as a rectangle.
void DrawPictureInRect(HDC dc, const RECT& rect, bool disabled, const Picture* picture, bool transparent, int width,
                       int height, int sampleX, int sampleY, int32_t transColor) noexcept;

// The icon part of DrawPictureInBox. Throws AppError when a DIB cannot be made.
void DrawIconInBox(HDC dc, int left, int top, int right, int bottom, bool disabled, HICON icon, bool transparent,
                   int width, int height);

// Direct access to 32-bit pixel memory by (row, column, channel): rows count from the bottom of the
// picture (a bottom-up DIB's memory order), channels are blue, green, red, reserved. The view only
// aliases the memory: it is valid while the memory lives, and frees nothing.
class DibByteView {
public:
    // rows x columns pixels from bits, each row stride bytes after the one below it.
    DibByteView(uint8_t* bits, size_t stride, int32_t rows, int32_t columns) noexcept
        : bits_(bits), stride_(stride), rows_(rows), columns_(columns) {}

    [[nodiscard]] int32_t Rows() const noexcept { return rows_; }
    [[nodiscard]] int32_t Columns() const noexcept { return columns_; }
    // The four bytes of a pixel; row and column must lie inside the picture.
    [[nodiscard]] uint8_t* Pixel(int32_t row, int32_t column) const noexcept {
        return bits_ + static_cast<size_t>(row) * stride_ + static_cast<size_t>(column) * 4;
    }
    [[nodiscard]] uint8_t& operator()(int32_t row, int32_t column, int channel) const noexcept {
        return Pixel(row, column)[channel];
    }

private:
    uint8_t* bits_;
    size_t stride_;
    int32_t rows_;
    int32_t columns_;
};

// The byte view of a DIB's memory, after flushing pending GDI output into it. Valid until the DIB is
// destroyed or created anew. Throws AppError (source "pvBuildSA3D", "Cannot create Safe Array for this
// DIB bpp") for a DIB that is not 32 bits per pixel or has no pixel memory.
[[nodiscard]] DibByteView pvBuildSA3D(const clsDIBSection& dib);

// An icon's two bitmaps as DIBs of their own depth (the mask 1 bit per pixel, black and white).
struct IconDibs {
    bool isIcon = false; // an icon rather than a cursor
    DWORD hotspotX = 0;
    DWORD hotspotY = 0;
    clsDIBSection mask;   // for a monochrome icon: the AND mask above the XOR image, twice as high
    clsDIBSection colour; // empty for a monochrome icon
};

// Fills dibs from the icon (GetIconInfo) and deletes the bitmaps the system made for that. False, with
// dibs left empty, when the handle is no icon or cursor. Throws AppError when a DIB cannot be made.
[[nodiscard]] bool IconToDibs(HICON icon, IconDibs& dibs);
