#include "draw/modCtlCommon_alphaImg.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/AppError.h"
#include "core/GreyOf.h"
#include "util/ErrorReport.h"

DibByteView pvBuildSA3D(const clsDIBSection& dib) {
    if (dib.Bpp() != 32 || dib.BitsPtr() == nullptr) {
        throw AppError(AppError::kToolkitError, "pvBuildSA3D", "Cannot create Safe Array for this DIB bpp");
    }
    // GDI may still hold drawing into the DIB in its batch; the memory must show it before we read.
    ::GdiFlush();
    return DibByteView(static_cast<uint8_t*>(dib.BitsPtr()), static_cast<size_t>(dib.BytesPerScanLine()), dib.Height(),
                       dib.Width());
}

bool IconToDibs(HICON icon, IconDibs& dibs) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) {
        return false;
    }
    // GetIconInfo made both bitmaps for us: they go when this call ends, whatever happens.
    const UniqueBitmap mask(info.hbmMask);
    const UniqueBitmap colour(info.hbmColor);
    dibs.isIcon = info.fIcon != FALSE;
    dibs.hotspotX = info.xHotspot;
    dibs.hotspotY = info.yHotspot;
    if (mask) {
        dibs.mask.CloneFromHBmp(mask.get(), -1, nullptr);
    }
    if (colour) {
        dibs.colour.CloneFromHBmp(colour.get(), -1, nullptr);
    }
    return true;
}

void DrawIconInBox(HDC dc, int left, int top, int right, int bottom, bool disabled, HICON icon, bool transparent,
                   int width, int height) {
    const int boxWidth = right - left;
    const int boxHeight = bottom - top;
    if (boxWidth < 1 || boxHeight < 1) {
        return;
    }
    IconDibs dibs;
    if (!IconToDibs(icon, dibs)) {
        return;
    }
    clsDIBSection& mask = dibs.mask;
    clsDIBSection& colour = dibs.colour;
    if (!colour.hDib() && mask.hDib()) {
        // A monochrome icon: its image is the lower half of the mask, below the AND mask. The image is
        // as high as that half (not taken to be square), so a non-square icon keeps its own rows.
        const int32_t imageHeight = mask.Height() / 2;
        colour.CreateDC(mask.Width(), imageHeight, 24);
        mask.PaintPicture(colour.hDC(), 0, 0, mask.Width(), imageHeight, 0, imageHeight, mask.Width(), imageHeight,
                          SRCCOPY);
    }
    if (!mask.hDib() && colour.hDib()) {
        mask.CloneFromDib(colour);
    }
    if (!colour.hDib()) {
        return;
    }

    if (width < 0) {
        width = boxWidth;
    }
    if (height < 0) {
        height = boxHeight;
    }
    const int drawWidth = std::min(width, static_cast<int>(colour.Width()));
    const int drawHeight = std::min(height, static_cast<int>(colour.Height()));
    // Exact halves round to even: a margin of 5 puts the icon 2 pixels in from an even edge, 3 from an odd one.
    const int ox = static_cast<int>(std::nearbyint(left + (boxWidth - drawWidth) / 2.0));
    const int oy = static_cast<int>(std::nearbyint(top + (boxHeight - drawHeight) / 2.0));
    for (int i = 0; i < drawWidth; ++i) {
        for (int j = 0; j < drawHeight; ++j) {
            const COLORREF c = ::GetPixel(colour.hDC(), i, j);
            if (transparent && ::GetPixel(mask.hDC(), i, j) != 0) {
                continue; // white in the mask: the icon does not cover this pixel
            }
            COLORREF out = c;
            if (disabled) {
                const uint8_t grey = GreyOf(GetRValue(c), GetGValue(c), GetBValue(c));
                out = RGB(grey, grey, grey);
            }
            ::SetPixelV(dc, ox + i, oy + j, out);
        }
    }
}

namespace {

// A bitmap's pixels as 32-bit values, rows bottom-up like a DIB's.
struct BitmapPixels {
    int32_t width = 0;
    int32_t height = 0;
    BITMAPINFO info{};
    std::vector<uint32_t> pixels;

    [[nodiscard]] DibByteView View() {
        return DibByteView(reinterpret_cast<uint8_t*>(pixels.data()), static_cast<size_t>(width) * 4, height, width);
    }
};

// Reads the whole bitmap with GetDIBits: no DC, no bitmap and no selection are needed for it, which
// under Wine saves more time than all the rest of a menu picture takes. dc only lends its palette.
BitmapPixels ReadBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP record{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(record), &record) != sizeof(record) || record.bmWidth < 1 ||
        record.bmHeight < 1) {
        throw AppError(AppError::kToolkitError, "DrawPictureInBox", "No bitmap to draw");
    }
    BitmapPixels read;
    read.width = record.bmWidth;
    read.height = record.bmHeight;
    read.info.bmiHeader.biSize = sizeof(read.info.bmiHeader);
    read.info.bmiHeader.biWidth = read.width;
    read.info.bmiHeader.biHeight = read.height; // bottom-up
    read.info.bmiHeader.biPlanes = 1;
    read.info.bmiHeader.biBitCount = 32;
    read.info.bmiHeader.biCompression = BI_RGB;
    read.pixels.resize(static_cast<size_t>(read.width) * static_cast<size_t>(read.height));
    if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(read.height), read.pixels.data(), &read.info, DIB_RGB_COLORS) !=
        read.height) {
        throw AppError(AppError::kToolkitError, "DrawPictureInBox", "Cannot read the bitmap");
    }
    return read;
}

void DrawBitmapInBox(HDC dc, int left, int top, int right, int bottom, bool disabled, HBITMAP bitmap, bool transparent,
                     int width, int height, int sampleX, int sampleY, int32_t transColor) {
    const int boxWidth = right - left;
    const int boxHeight = bottom - top;
    if (boxWidth < 1 || boxHeight < 1) {
        return;
    }
    BitmapPixels picture = ReadBitmap(dc, bitmap);
    const DibByteView source = picture.View();
    if (transparent && transColor == -1) {
        // CLR_INVALID (as GetPixel answers) for a point outside the picture: no pixel has that colour.
        transColor = static_cast<int32_t>(CLR_INVALID);
        if (sampleX >= 0 && sampleX < picture.width && sampleY >= 0 && sampleY < picture.height) {
            const uint8_t* p = source.Pixel(picture.height - 1 - sampleY, sampleX);
            transColor = static_cast<int32_t>(RGB(p[2], p[1], p[0]));
        }
    }
    const int w = std::min({width >= 0 ? width : picture.width, picture.width, boxWidth});
    const int h = std::min({height >= 0 ? height : picture.height, picture.height, boxHeight});
    const int dx = (boxWidth - w) / 2;
    const int dy = (boxHeight - h) / 2;

    if (!transparent && !disabled) {
        // A straight copy of the top-left w x h part; in the bottom-up rows its lowest row is
        // picture height - h. The box's background is not needed, so it is not read.
        if (w > 0 && h > 0) {
            ::StretchDIBits(dc, left + dx, top + dy, w, h, 0, picture.height - h, w, h, picture.pixels.data(),
                            &picture.info, DIB_RGB_COLORS, SRCCOPY);
        }
        return;
    }

    // Destroyed when this function ends, on success or by an exception.
    clsDIBSection background;
    background.CloneFromHdc(dc, 32, nullptr, left, top, boxWidth, boxHeight, SRCCOPY);
    const DibByteView target = pvBuildSA3D(background);
    const auto key = static_cast<COLORREF>(transColor);
    // Rows count from the bottom in both views: row picture height - h is the bottom row of the
    // picture's top-left w x h part, and it lands on row dy of the box counted from the bottom.
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const uint8_t* in = source.Pixel(picture.height - h + j, i);
            if (transparent && RGB(in[2], in[1], in[0]) == key) {
                continue;
            }
            uint8_t* out = target.Pixel(dy + j, dx + i);
            if (disabled) {
                const uint8_t grey = GreyOf(in[2], in[1], in[0]);
                out[0] = out[1] = out[2] = grey;
            } else {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }
    background.PaintPicture(dc, left, top, boxWidth, boxHeight, 0, 0, boxWidth, boxHeight, SRCCOPY);
}

} // namespace

void DrawPictureInBox(HDC dc, int left, int top, int right, int bottom, bool disabled, const Picture* picture,
                      bool transparent, int width, int height, int sampleX, int sampleY, int32_t transColor) noexcept {
    if (picture == nullptr || !*picture) {
        return;
    }
    try {
        if (picture->kind() == Picture::Kind::Icon) {
            DrawIconInBox(dc, left, top, right, bottom, disabled, picture->icon(), transparent, width, height);
        } else {
            DrawBitmapInBox(dc, left, top, right, bottom, disabled, picture->bitmap(), transparent, width, height,
                            sampleX, sampleY, transColor);
        }
    } catch (const std::exception& error) {
        ReportCaughtError(error, "DrawPictureInBox");
        // The callers (menu items, buttons) have nothing better to show than what the box already holds.
    }
}

void DrawPictureInRect(HDC dc, const RECT& rect, bool disabled, const Picture* picture, bool transparent, int width,
                       int height, int sampleX, int sampleY, int32_t transColor) noexcept {
    DrawPictureInBox(dc, rect.left, rect.top, rect.right, rect.bottom, disabled, picture, transparent, width, height,
                     sampleX, sampleY, transColor);
}
