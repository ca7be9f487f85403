#include "menu/MenuItemPaint.h"

#include <algorithm>
#include <cmath>

#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"
#include "draw/modCtlCommon_alphaImg.h"
#include "sysinfo/WindowsVersion.h"

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr UINT kLeftMiddle = DT_VCENTER | DT_SINGLELINE;             // 0x24
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;    // 0x25
constexpr UINT kRightMiddle = DT_RIGHT | DT_VCENTER | DT_SINGLELINE; // 0x26

bool HasPicture(const Picture* picture) noexcept {
    return picture != nullptr && static_cast<bool>(*picture);
}

int16_t Shade(int amount) noexcept {
    return static_cast<int16_t>(amount);
}

// The item background: a horizontal gradient from the colour shaded -17 to +17, or a flat fill.
void Background(HDC dc, int left, int top, int right, int bottom, int32_t colour, bool fade) {
    if (fade) {
        GradientHorizontal(dc, left, top, right, bottom, ShadeColor(colour, Shade(-17)), ShadeColor(colour, Shade(17)));
    } else {
        FillOrFrameRectXY(dc, left, top, right, bottom, colour, true);
    }
}

// The band of width `band` down the left side of popup items, with its optional edge lines.
void LeftBand(HDC dc, const MenuLook& look, int left, int top, int bottom, int band) {
    if (!look.LeftBand) {
        return;
    }
    if (look.FadeLeftBand) {
        GradientHorizontal(dc, left, top, left + band, bottom, ShadeColor(look.LeftBandBackColor, Shade(51)),
                           ShadeColor(look.LeftBandBackColor, Shade(-17)));
    } else {
        FillOrFrameRectXY(dc, left, top, left + band, bottom, look.LeftBandBackColor, true);
    }
    if (look.LeftBandSeparators) {
        DrawLine(dc, left + band - 1, top, left + band - 1, bottom, look.MenuForeColorNormal);
        if (look.Separators3D) {
            DrawLine(dc, left + band, top, left + band, bottom, kWhite);
        }
    }
}

// Everything one drawing request works with.
struct Frame {
    HDC dc;
    const MenuLook& look;
    const MenuItemContent& item;
    UINT dpi;
    RECT r;   // the item rectangle
    int band; // width of the left band, 0 without one

    [[nodiscard]] int S(int pixels96) const noexcept { return ScaleToDpi(pixels96, dpi); }
};

void DrawSeparator(const Frame& f) {
    const auto& [L, T, Rt, Bm] = f.r;
    Background(f.dc, L + f.band, T, Rt, Bm, f.look.MenuBackColor, f.look.FadeBackground);
    LeftBand(f.dc, f.look, L, T, Bm, f.band);
    const int y = T + f.S(2);
    DrawLine(f.dc, L + f.S(2) + f.band, y, Rt - f.S(2), y, f.look.MenuForeColorNormal);
    if (f.look.Separators3D) {
        DrawLine(f.dc, L + f.S(2) + f.band, y + 1, Rt - f.S(2), y + 1, kWhite);
    }
}

void DrawCaptionedSeparator(const Frame& f) {
    const MenuLook& look = f.look;
    auto [L, T, Rt, Bm] = f.r;
    if (look.FadeExtSep) {
        GradientVertical(f.dc, L + f.band, T, Rt, Bm, ShadeColor(look.ExtSepBackColor, Shade(34)),
                         ShadeColor(look.ExtSepBackColor, Shade(-34)));
    } else {
        Background(f.dc, L + f.band, T, Rt, Bm, look.ExtSepBackColor, look.FadeBackground);
    }
    LeftBand(f.dc, look, L, T, Bm, f.band);

    L += f.band;
    const SIZE text = MeasureText(f.dc, f.item.text, 0);
    const int margin = ((Rt - L) - f.S(4) - text.cx) / 2;
    const int y = T + (Bm - T) / 2 + f.S(1);
    DrawLine(f.dc, L + f.S(2), y, L + margin, y, look.MenuForeColorNormal);
    if (look.Separators3D) {
        DrawLine(f.dc, L + f.S(2), y + 1, L + margin, y + 1, kWhite);
    }
    DrawColoredText(f.dc, f.item.text, RECT{L, T, Rt, Bm}, look.ExtSepForeColor, kCentred);
    const int x = L + margin + text.cx + f.S(4);
    DrawLine(f.dc, x, y, x + margin - f.S(2), y, look.MenuForeColorNormal);
    if (look.Separators3D) {
        DrawLine(f.dc, x, y + 1, x + margin - f.S(2), y + 1, kWhite);
    }
}

// The picture box left in the item: (L + 2, T + 1) to (L + 2 + w, B - 1).
void DrawItemPicture(const Frame& f, const Picture* picture, bool disabled) {
    const auto& [L, T, Rt, Bm] = f.r;
    const int w = f.item.pictureWidth;
    DrawPictureInBox(f.dc, L + f.S(2), T + f.S(1), L + f.S(2) + w, Bm - f.S(1), disabled, picture, f.item.transparent,
                     w, f.item.pictureHeight, 0, 0, -1);
}

void DrawPopupItem(const Frame& f, UINT state, int32_t back, int32_t fore, const Picture& checkMark) {
    const MenuLook& look = f.look;
    const auto& [L, T, Rt, Bm] = f.r;
    const bool disabled = (state & kItemDisabled) != 0;
    const Picture* picture = (state & kItemChecked) ? &checkMark : f.item.picture;
    const bool hasPicture = HasPicture(picture);
    const int w = f.item.pictureWidth;

    if (!(state & kItemSelected) || disabled) {
        Background(f.dc, L + f.band, T, Rt, Bm, back, look.FadeBackground);
        LeftBand(f.dc, look, L, T, Bm, f.band);
    } else {
        RECT selector = f.r;
        if (!look.FullSelector && (hasPicture || look.LeftBand)) {
            // The picture column stays as it was; only the text part is highlighted.
            selector.left += w + f.S(4);
        }
        DrawXPFrame(f.dc, selector, back, true, -1, false, false, false, false, look.RoundSelector, look.SelectorStyle,
                    look.MenuBackColor, true);
    }
    if (hasPicture) {
        DrawItemPicture(f, picture, disabled);
    }

    RECT text{L + f.S(2) + w, T, Rt, Bm};
    ::InflateRect(&text, -f.S(4), 0);
    if (look.Separators3D && disabled) {
        // The engraved look: a white copy one pixel right and down, under the grey text.
        const int d = f.S(1);
        DrawColoredTextXY(f.dc, f.item.text, text.left + d, text.top + d, text.right + d, text.bottom + d, kWhite,
                          kLeftMiddle);
        if (!f.item.shortcut.empty()) {
            DrawColoredTextXY(f.dc, f.item.shortcut, text.left + d, text.top + d, text.right + d, text.bottom + d,
                              kWhite, kRightMiddle);
        }
    }
    DrawColoredText(f.dc, f.item.text, text, fore, kLeftMiddle);
    if (!f.item.shortcut.empty()) {
        DrawColoredText(f.dc, f.item.shortcut, text, fore, kRightMiddle);
    }
}

void DrawBarItem(const Frame& f, UINT state, int32_t back, int32_t fore) {
    const MenuLook& look = f.look;
    RECT r = f.r;
    const bool disabled = (state & kItemDisabled) != 0;
    if ((state & (kItemSelected | kItemHot)) && !disabled) {
        if (WindowsVersion() == 3) {
            // Windows 95 draws its bar items one pixel narrower than it measures them.
            r.right -= 1;
        }
        DrawXPFrame(f.dc, r, back, true, -1, false, false, false, false, look.RoundSelector, look.SelectorStyle,
                    look.MenuBarColor, true);
    } else {
        FillOrFrameRect(f.dc, r, back, true);
    }
    if (!HasPicture(f.item.picture)) {
        DrawColoredText(f.dc, f.item.text, r, fore, kCentred);
        return;
    }
    DrawItemPicture(f, f.item.picture, disabled);
    r.left += f.S(2) + f.item.pictureWidth;
    ::InflateRect(&r, -f.S(4), 0);
    DrawColoredText(f.dc, f.item.text, r, fore, kLeftMiddle);
}

} // namespace

int ScaleToDpi(int pixels96, UINT dpi) noexcept {
    return dpi == 96 || dpi == 0 ? pixels96 : ::MulDiv(pixels96, static_cast<int>(dpi), 96);
}

void MeasureItemContent(HDC dc, const MenuLook& look, const MenuItemContent& item, UINT dpi, UINT& itemWidth,
                        UINT& itemHeight) {
    const auto S = [dpi](int pixels96) { return ScaleToDpi(pixels96, dpi); };
    switch (item.kind) {
    case 2:
        itemHeight = static_cast<UINT>(S(5));
        return;
    case 3: {
        const SIZE text = MeasureText(dc, item.text, 0);
        const int width = look.LeftBand ? text.cx + S(6) + S(look.IconDim) : text.cx + S(4);
        itemWidth = static_cast<UINT>(std::max(width, 0));
        itemHeight = static_cast<UINT>(std::max<int>(text.cy + S(2), 0));
        return;
    }
    default:
        break;
    }
    const bool hasPicture = HasPicture(item.picture);
    SIZE text{};
    int width = 0;
    if (item.kind == 1) {
        text = MeasureText(dc, item.shortcut.empty() ? item.text : item.text + L"    " + item.shortcut, 0);
        width = text.cx + S(6) + item.pictureWidth;
    } else {
        text = MeasureText(dc, item.text, 0);
        width = hasPicture ? text.cx + S(6) + item.pictureWidth : text.cx;
    }
    int height = std::max<int>(text.cy + S(2), item.pictureHeight + S(2));
    if (look.FullSelector) {
        height += S(2);
    }
    itemWidth = static_cast<UINT>(std::max(width, 0));
    itemHeight = static_cast<UINT>(std::max(height, 0));
}

void DrawItemContent(HDC dc, const RECT& rect, UINT state, const MenuLook& look, const MenuItemContent& item, UINT dpi,
                     const Picture& checkMark) {
    ::SetBkMode(dc, TRANSPARENT);
    const Frame f{dc, look, item, dpi, rect, look.LeftBand ? ScaleToDpi(look.IconDim + 4, dpi) : 0};
    switch (item.kind) {
    case 2:
        DrawSeparator(f);
        return;
    case 3:
        DrawCaptionedSeparator(f);
        return;
    default:
        break;
    }
    const bool bar = item.kind == 0;
    int32_t back = 0;
    int32_t fore = 0;
    if (state & kItemDisabled) {
        back = bar ? look.MenuBarColor : look.MenuBackColor;
        fore = bar ? MenuLook::kGrayText : look.MenuForeColorDisabled;
    } else if (state & (kItemSelected | kItemHot)) {
        back = look.SelectorBackColor;
        fore = look.SelectorForeColor;
    } else {
        back = bar ? look.MenuBarColor : look.MenuBackColor;
        fore = bar ? MenuLook::kMenuText : look.MenuForeColorNormal;
    }
    if (bar) {
        DrawBarItem(f, state, back, fore);
    } else {
        DrawPopupItem(f, state, back, fore, checkMark);
    }
}

Picture MakeCheckMark(UINT dpi) {
    const int n = std::max(1, ScaleToDpi(7, dpi));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = n;
    info.bmiHeader.biHeight = -n; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    if (!bitmap || !raw) {
        return Picture();
    }
    auto* pixels = static_cast<uint32_t*>(raw);
    std::fill(pixels, pixels + static_cast<size_t>(n) * n, 0x00FFFFFFu);
    // Each column of the 7 x 7 tick is a run of three black pixels whose top row falls from 2 to 4
    // over columns 0..2 and rises back to 0 at column 6; other sizes sample that outline.
    const double scale = n / 7.0;
    const int thickness = std::max(1, static_cast<int>(std::floor(3 * scale + 0.5)));
    for (int x = 0; x < n; ++x) {
        const double u = (x + 0.5) / scale - 0.5;
        const double top = u <= 2 ? 2 + u : 6 - u;
        const int first = static_cast<int>(std::floor(top * scale + 0.5));
        for (int y = std::max(first, 0); y < std::min(first + thickness, n); ++y) {
            pixels[static_cast<size_t>(y) * n + x] = 0;
        }
    }
    return Picture::FromBitmap(bitmap);
}
