#pragma once
// Pictures for the DIB and picture-painter tests: bitmaps and icons made pixel by pixel from a colour
// function, owned by the test and selected into no DC (as the program's pictures are).
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "draw/Picture.h"
#include "util/Handles.h"

namespace fixtures {

// A bottom-up DIB section of bpp 24 or 32 whose pixel (x, y), y counted from the top, is colour(x, y).
template <typename ColourAt> UniqueBitmap MakeBitmap(int width, int height, int bpp, ColourAt colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    if (!bitmap) {
        return bitmap;
    }
    const size_t stride = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
    auto* bits = static_cast<uint8_t*>(raw);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            uint8_t* p = row + static_cast<size_t>(x) * (bpp / 8);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            if (bpp == 32) {
                p[3] = 0;
            }
        }
    }
    return bitmap;
}

template <typename ColourAt> Picture MakeBitmapPicture(int width, int height, int bpp, ColourAt colour) {
    return Picture::FromBitmap(MakeBitmap(width, height, bpp, colour).release());
}

// A 1-bpp bitmap, rows padded to 16 bits as CreateBitmap wants them; pixel (x, y) is white where
// white(x, y) is true.
template <typename WhiteAt> UniqueBitmap MakeMonoBitmap(int width, int height, WhiteAt white) {
    const size_t stride = (static_cast<size_t>(width) + 15) / 16 * 2;
    uint8_t bits[64 * 128 / 8] = {};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (white(x, y)) {
                bits[stride * static_cast<size_t>(y) + static_cast<size_t>(x / 8)] |=
                    static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return UniqueBitmap(::CreateBitmap(width, height, 1, 1, bits));
}

// A colour icon (or cursor, with its hotspot) from a 32-bpp colour image and a mask; the bitmaps
// passed to the system are deleted again, the icon keeps its own copies.
template <typename ColourAt, typename MaskAt>
UniqueIcon MakeColourIcon(int size, ColourAt colour, MaskAt maskWhite, bool isIcon = true, DWORD hotX = 0,
                          DWORD hotY = 0) {
    const UniqueBitmap colourBitmap = MakeBitmap(size, size, 32, colour);
    const UniqueBitmap maskBitmap = MakeMonoBitmap(size, size, maskWhite);
    ICONINFO info{};
    info.fIcon = isIcon ? TRUE : FALSE;
    info.xHotspot = hotX;
    info.yHotspot = hotY;
    info.hbmMask = maskBitmap.get();
    info.hbmColor = colourBitmap.get();
    return UniqueIcon(::CreateIconIndirect(&info));
}

// A monochrome icon: the AND mask (white where the icon does not cover) above the XOR image (white
// where it is white), in one bitmap twice as high.
template <typename MaskAt, typename ImageWhiteAt>
UniqueIcon MakeMonochromeIcon(int width, int height, MaskAt maskWhite, ImageWhiteAt imageWhite) {
    const UniqueBitmap both = MakeMonoBitmap(
        width, 2 * height, [&](int x, int y) { return y < height ? maskWhite(x, y) : imageWhite(x, y - height); });
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = both.get();
    return UniqueIcon(::CreateIconIndirect(&info));
}

} // namespace fixtures
