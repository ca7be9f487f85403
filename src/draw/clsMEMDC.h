#pragma once
// The memory canvas: a memory DC with a screen-compatible bitmap selected into it. The ruler draws its
// image and its shape mask on it, the screen capture copies a screen area into it and the drawn
// controls paint flicker-free through it before copying the result to the screen.
//
// The canvas owns its DC and its bitmap until it hands the bitmap over (ReleasehBmp, Picture). While
// the DC exists, the canvas's own bitmap is selected into it. Creation failures throw AppError with
// the number AppError::kToolkitError, the source "clsMemDC.<operation>" and the description
// "clsMemDC.<operation>.<message>"; handles made before the failure stay with the canvas and go in
// Destroy. Every other member does nothing on an empty canvas.
#include <windows.h>

#include <cstdint>

#include "draw/CanvasDC.h"
#include "draw/Picture.h"
#include "util/Handles.h"

// The member below is named CreateDC; the platform function is CreateDCW where one is needed.
#undef CreateDC

class clsMEMDC {
public:
    clsMEMDC() noexcept = default;
    clsMEMDC(const clsMEMDC&) = delete;
    clsMEMDC& operator=(const clsMEMDC&) = delete;
    ~clsMEMDC() { Destroy(); }

    // Replaces whatever the canvas held by a width x height canvas compatible with the screen; a
    // negative size becomes 1, 0 stays 0. Stretch mode COLORONCOLOR, text background mode bkMode
    // (TRANSPARENT or OPAQUE). The new bitmap's content is undefined: fill it (DrawBackColor).
    // Throws "HDC not created", "hBmp not created" or "Bitmap not selected" (operation "CreateDC").
    void CreateDC(int32_t width, int32_t height, int32_t bkMode = OPAQUE);

    // New size keeping the top-left part of the picture (the rest is undefined) and the background
    // mode; newBkMode is used only when the canvas was empty. If either new size is below 1 the canvas
    // keeps its size.
    void ResizeCutDC(int32_t newWidth, int32_t newHeight, int32_t newBkMode = OPAQUE);
    // New size with the picture stretched over all of it and the background mode kept; newBkMode is
    // used only when the canvas was empty.
    void ResizeAdaptDC(int32_t newWidth, int32_t newHeight, int32_t newBkMode = OPAQUE);

    // GetBkMode/SetBkMode of the DC (0 on an empty canvas).
    [[nodiscard]] int32_t BkMode() const noexcept { return dc_.BkMode(); }
    void BkMode(int32_t mode) noexcept { dc_.BkMode(mode); }
    // GetBkColor/SetBkColor of the DC; a system colour code is translated first (0 on an empty canvas).
    [[nodiscard]] int32_t BkColor() const noexcept { return dc_.BkColor(); }
    void BkColor(int32_t colour) { dc_.BkColor(colour); }

    // Becomes a copy of the whole bitmap, which stays the caller's (it must not be selected into
    // another DC; the canvas's own bitmap is fine). Throws "HDC not created" or "Bitmap not selected" (operation
    // "CloneFromhBmp"), besides the errors of CreateDC.
    void CloneFromHBmp(HBITMAP bitmap, int32_t bkMode = OPAQUE);
    // Becomes a copy of the srcWidth x srcHeight area of dc at (srcLeft, srcTop), with the background
    // mode of dc. If either size is below 1, the size of the bitmap selected into dc is used for both.
    // dc may be the canvas's own DC.
    void CloneFromHdc(HDC dc, int32_t srcLeft, int32_t srcTop, int32_t srcWidth, int32_t srcHeight,
                      DWORD rop = SRCCOPY);

    // Selects the DC's original bitmap back and deletes the DC and the bitmap (unless handed over).
    // The canvas is then empty, with size 0 x 0. Safe to call repeatedly.
    void Destroy() noexcept;

    // Copies the canvas onto dc. A negative size stands for the canvas's own width or height; equal
    // destination and source sizes copy 1:1 (BitBlt), others stretch (StretchBlt).
    void PaintPicture(HDC dc, int32_t destLeft = 0, int32_t destTop = 0, int32_t destWidth = -1,
                      int32_t destHeight = -1, int32_t srcLeft = 0, int32_t srcTop = 0, int32_t srcWidth = -1,
                      int32_t srcHeight = -1, DWORD rop = SRCCOPY) const noexcept {
        dc_.PaintPicture(dc, width_, height_, destLeft, destTop, destWidth, destHeight, srcLeft, srcTop, srcWidth,
                         srcHeight, rop);
    }

    [[nodiscard]] HDC hDC() const noexcept { return dc_.get(); }
    [[nodiscard]] HBITMAP hBmp() const noexcept { return bitmap_.get(); }
    [[nodiscard]] int32_t Width() const noexcept { return width_; }
    [[nodiscard]] int32_t Height() const noexcept { return height_; }

    // Hands the bitmap to the caller (who must delete it) and empties the canvas; nullptr when the
    // canvas had none. The bitmap is no longer selected into any DC afterwards.
    [[nodiscard]] HBITMAP ReleasehBmp() noexcept;
    // The same hand-over, wrapped in a picture that deletes the bitmap when it ends; an empty picture
    // when the canvas had no bitmap. The canvas is empty afterwards.
    [[nodiscard]] ::Picture Picture() noexcept;

    // Fills the whole canvas with the colour (a system colour code is translated first).
    void DrawBackColor(int32_t colour) { dc_.Fill(width_, height_, colour); }

private:
    [[noreturn]] static void Raise(const char* operation, const char* message);
    // Destroys what this canvas holds and moves the other canvas's DC, bitmap and size in.
    void TakeOver(clsMEMDC& other) noexcept;

    // Declared before the DC, so that the DC lets go of the bitmap before it is deleted.
    UniqueBitmap bitmap_;
    CanvasDC dc_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};
