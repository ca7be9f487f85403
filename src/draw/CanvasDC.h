#pragma once
// The drawing context of a canvas, set up the one way every canvas of the program is: a memory DC
// compatible with the screen, one bitmap selected into it, stretch mode COLORONCOLOR and a text
// background mode, so that whatever is drawn on it draws as on any other canvas. The memory canvas
// (clsMEMDC), the DIB section (clsDIBSection) and the ruler's kept image and mask parts all draw
// through one.
//
// The DC is this object's; the bitmap is not: whoever made it keeps it, and must not delete it while
// it is selected. Close (also run when the object ends) selects the DC's own bitmap back first.
// Every member does nothing (and reads 0) without a DC.
#include <windows.h>

#include <cstdint>

#include "util/Handles.h"

class CanvasDC {
public:
    CanvasDC() noexcept = default;
    CanvasDC(CanvasDC&& other) noexcept;
    CanvasDC& operator=(CanvasDC&& other) noexcept;
    CanvasDC(const CanvasDC&) = delete;
    CanvasDC& operator=(const CanvasDC&) = delete;
    ~CanvasDC() { Close(); }

    // Closes what was open and makes a new memory DC compatible with `reference` (null: with the
    // screen). False when the system refuses one.
    [[nodiscard]] bool Open(HDC reference = nullptr) noexcept;
    // Selects the bitmap into the open DC, keeping what the DC held, and sets the stretch mode
    // COLORONCOLOR and the text background mode (TRANSPARENT or OPAQUE). Once per Open. False, with
    // the DC unchanged, when there is no DC or the bitmap cannot be selected (no bitmap, or one held
    // by another DC).
    [[nodiscard]] bool Select(HBITMAP bitmap, int32_t bkMode = OPAQUE) noexcept;
    // Selects the DC's own bitmap back and deletes the DC. Safe to call repeatedly.
    void Close() noexcept;

    [[nodiscard]] HDC get() const noexcept { return dc_.get(); }
    [[nodiscard]] explicit operator bool() const noexcept { return static_cast<bool>(dc_); }

    // GetBkMode / SetBkMode.
    [[nodiscard]] int32_t BkMode() const noexcept;
    void BkMode(int32_t mode) noexcept;
    // GetBkColor / SetBkColor, a system colour code translated first.
    [[nodiscard]] int32_t BkColor() const noexcept;
    void BkColor(int32_t colour);

    // Fills (0, 0, width, height) with the colour (a system colour code translated first).
    void Fill(int32_t width, int32_t height, int32_t colour);

    // Why CopyBitmapIn failed: no DC to select the bitmap into could be made, or the bitmap could not
    // be selected (it is held by another DC, or is no bitmap).
    enum class CopyFailure { None, NoDC, NotSelected };
    // Copies the top-left width x height of the bitmap, which stays the caller's, to (0, 0) of the
    // canvas through a DC of its own.
    [[nodiscard]] CopyFailure CopyBitmapIn(HBITMAP bitmap, int32_t width, int32_t height) const noexcept;

    // Copies part of the canvas, ownWidth x ownHeight, onto dc: a negative size stands for the
    // canvas's own width or height; equal destination and source sizes copy 1:1 (BitBlt), others
    // stretch (StretchBlt).
    void PaintPicture(HDC dc, int32_t ownWidth, int32_t ownHeight, int32_t destLeft, int32_t destTop, int32_t destWidth,
                      int32_t destHeight, int32_t srcLeft, int32_t srcTop, int32_t srcWidth, int32_t srcHeight,
                      DWORD rop) const noexcept;

private:
    UniqueMemoryDC dc_;
    // What the DC held before the canvas's bitmap; selected back before the DC is deleted, so that
    // neither is deleted while the bitmap is still selected.
    HGDIOBJ previous_ = nullptr;
};
