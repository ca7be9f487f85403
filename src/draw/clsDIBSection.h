#pragma once
// A device-independent bitmap with its own memory DC: made at a given size and depth, filled from a
// bitmap, a DC or another DIB, painted into a DC, and with its pixel memory open to direct access.
// Rows are stored bottom-up (row 0 of the memory is the bottom row of the picture), each
// BytesPerScanLine bytes long. Depths 1, 4 and 8 carry a colour table taken from a palette.
//
// The object owns its DC and its DIB until it hands the DIB over (ReleasehDib, Picture); while the DC
// exists the DIB is selected into it. Every creation first destroys what the object held. Errors are
// AppError with the number AppError::kToolkitError; creation failures have the source
// "clsDIBSection.<operation>" and the description "<source>.<message>", whatever was made before the
// failure stays with the object and goes in Destroy. Every other member does nothing on an empty
// object.
//
// A palette argument that is null or empty counts as no palette.
#include <windows.h>

#include <cstdint>

#include "draw/CanvasDC.h"
#include "draw/Picture.h"
#include "draw/clsPalette.h"
#include "util/Handles.h"

// The member below is named CreateDC; the platform function is CreateDCW where one is needed.
#undef CreateDC

class clsDIBSection {
public:
    clsDIBSection() noexcept = default;
    clsDIBSection(const clsDIBSection&) = delete;
    clsDIBSection& operator=(const clsDIBSection&) = delete;
    ~clsDIBSection() { Destroy(); }

    // A width x height DIB of bpp bits per pixel (a negative size becomes 2); its content is
    // undefined. Depths 1, 4 and 8 take the first 2, 16 or 256 entries of the palette as their colour
    // table (the rest of the table stays black); without one, the standard table of the depth (black
    // and white, the sixteen colours, the halftone colours) is built, into *palette when an empty
    // palette is passed. Stretch mode COLORONCOLOR. Throws "HDC not created", "hDib not created" or
    // "DIB not selected" (operation "CreateDC").
    void CreateDC(int32_t width, int32_t height, int32_t bpp, clsPalette* palette = nullptr);

    // Becomes a copy of the other DIB, in bpp bits per pixel (a negative bpp: the other's depth), with
    // the other's colour table. other may be this object.
    void CloneFromDib(const clsDIBSection& other, int32_t bpp = -1);
    // Becomes a copy of the whole bitmap, which stays the caller's and must not be selected into a DC
    // (this object's own DIB is fine). A negative bpp takes the bitmap's own depth. Throws "Palette is
    // required!" (source "clsDIBSection") when bpp is 1 .. 23 without a palette, "HDC not created" or
    // "Bitmap not selected" (operation "CloneFromhBmp"), besides the errors of CreateDC.
    void CloneFromHBmp(HBITMAP bitmap, int32_t bpp = -1, clsPalette* palette = nullptr);
    // Becomes a copy of the srcWidth x srcHeight area of dc at (srcLeft, srcTop), copied with the
    // raster operation rop. If either size is below 1, the size of the bitmap selected into dc is used
    // for both; a negative bpp takes that bitmap's depth. The same palette rule as CloneFromHBmp. dc
    // may be this object's own DC.
    void CloneFromHdc(HDC dc, int32_t bpp = -1, clsPalette* palette = nullptr, int32_t srcLeft = 0, int32_t srcTop = 0,
                      int32_t srcWidth = -1, int32_t srcHeight = -1, DWORD rop = SRCCOPY);

    // Selects the DC's original bitmap back and deletes the DC and the DIB (unless handed over). Width,
    // Height and Bpp keep the values of the last creation. Safe to call repeatedly.
    void Destroy() noexcept;

    // Copies the DIB onto dc. A negative size stands for the DIB's own width or height; equal
    // destination and source sizes copy 1:1 (BitBlt), others stretch (StretchBlt).
    void PaintPicture(HDC dc, int32_t destLeft = 0, int32_t destTop = 0, int32_t destWidth = -1,
                      int32_t destHeight = -1, int32_t srcLeft = 0, int32_t srcTop = 0, int32_t srcWidth = -1,
                      int32_t srcHeight = -1, DWORD rop = SRCCOPY) const noexcept {
        dc_.PaintPicture(dc, width_, height_, destLeft, destTop, destWidth, destHeight, srcLeft, srcTop, srcWidth,
                         srcHeight, rop);
    }

    [[nodiscard]] HDC hDC() const noexcept { return dc_.get(); }
    [[nodiscard]] HBITMAP hDib() const noexcept { return dib_.get(); }
    // The size and depth given at the last creation (0 before any).
    [[nodiscard]] int32_t Width() const noexcept { return width_; }
    [[nodiscard]] int32_t Height() const noexcept { return height_; }
    [[nodiscard]] int32_t Bpp() const noexcept { return bpp_; }
    // The length of one stored row: Width x Bpp bits rounded up to whole 32-bit words.
    [[nodiscard]] int32_t BytesPerScanLine() const noexcept;
    // The pixel memory (nullptr without a DIB). Flush GDI (GdiFlush) before reading what GDI drew.
    [[nodiscard]] void* BitsPtr() const noexcept { return bits_; }

    // Hands the DIB to the caller (who must delete it) and empties the object; nullptr when there was
    // none. The DIB is no longer selected into any DC afterwards.
    [[nodiscard]] HBITMAP ReleasehDib() noexcept;
    // The same hand-over, wrapped in a picture that deletes the DIB when it ends; an empty picture
    // when there was no DIB.
    [[nodiscard]] ::Picture Picture() noexcept;

    // The colour table of the last creation for depths 1, 4 and 8 (2, 16 or 256 entries); an empty
    // palette for other depths.
    [[nodiscard]] clsPalette Palette() const;

    // Fills the whole DIB with the colour (a system colour code is translated first).
    void DrawBackColor(int32_t colour) { dc_.Fill(width_, height_, colour); }

    // GetBkMode/SetBkMode and GetBkColor/SetBkColor (a system colour code translated) of the DC; 0 on
    // an empty object.
    [[nodiscard]] int32_t BkMode() const noexcept { return dc_.BkMode(); }
    void BkMode(int32_t mode) noexcept { dc_.BkMode(mode); }
    [[nodiscard]] int32_t BkColor() const noexcept { return dc_.BkColor(); }
    void BkColor(int32_t colour) { dc_.BkColor(colour); }

private:
    [[noreturn]] static void Raise(const char* operation, const char* message);
    // Throws "Palette is required!" when bpp asks for a palette that was not given.
    static void RequirePalette(int32_t bpp, const clsPalette* palette);
    // Destroys what this object holds and moves the other's DC, DIB, size and table in.
    void TakeOver(clsDIBSection& other) noexcept;

    // The creation record: the header and, for depths 1, 4 and 8, the colour table behind it.
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    };

    // Declared before the DC, so that the DC lets go of the DIB before it is deleted.
    UniqueBitmap dib_;
    CanvasDC dc_;
    void* bits_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bpp_ = 0;
    int32_t tableSize_ = 0;
    Info info_{};
};
