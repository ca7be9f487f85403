#pragma once
// Measuring and painting one item of the owner-drawn menu (ctlUTF8Menu), once the control has found
// the item's record and the form has answered ItemPicture: free functions over the menu's look and
// the item's resolved content, so that they can run against any DC.
//
// Lengths are device pixels of the menu's monitor. Every fixed length below (the picture size
// IconDim, the paddings, the separator height) is the 96-DPI value scaled by dpi / 96, so at 96 DPI
// the numbers are exactly the 96-DPI ones; lines stay one pixel wide.
#include <windows.h>

#include <cstdint>
#include <string>

#include "draw/Picture.h"

// The control's look: the stored properties that measuring and painting read, plus the menu-bar
// colour it learnt from the system. Colours are COLORREF values; a value with the top bit set is a
// system colour code.
struct MenuLook {
    static constexpr int32_t kMenu = static_cast<int32_t>(0x80000004);
    static constexpr int32_t kMenuText = static_cast<int32_t>(0x80000007);
    static constexpr int32_t kHighlight = static_cast<int32_t>(0x8000000D);
    static constexpr int32_t kHighlightText = static_cast<int32_t>(0x8000000E);
    static constexpr int32_t kGrayText = static_cast<int32_t>(0x80000011);

    int16_t IconDim = 16;
    bool FadeBackground = false;
    int32_t MenuBackColor = kMenu;
    int32_t MenuForeColorNormal = kMenuText;
    int32_t MenuForeColorDisabled = kGrayText;
    int32_t SelectorBackColor = kHighlight;
    int32_t SelectorForeColor = kHighlightText;
    int32_t ExtSepBackColor = kMenu;
    int32_t ExtSepForeColor = kMenuText;
    bool FadeExtSep = false;
    int32_t SelectorStyle = -1;
    bool FullSelector = true;
    bool LeftBand = false;
    int32_t LeftBandBackColor = kMenu;
    bool FadeLeftBand = false;
    bool Separators3D = true;
    bool LeftBandSeparators = false;
    bool RoundSelector = false;
    std::wstring CustomFontFace;
    // The colour behind menu-bar items: the system's menu-bar colour when it draws flat menus.
    int32_t MenuBarColor = kMenu;
};

// One item as it is measured and drawn.
struct MenuItemContent {
    // 0 menu-bar item, 1 popup item, 2 separator, 3 captioned separator (clsCtlUniIMenuItem kinds).
    int32_t kind = 1;
    // What is drawn: the caption cleaned of its "[SEP]" prefix, TAB and "|" parts, and decoded.
    std::wstring text;
    // The shortcut text after the caption's last TAB (popup items), drawn right-aligned.
    std::wstring shortcut;
    // The item's picture (not owned; none when null or empty) and its box size, which the caller has
    // already raised to the scaled IconDim; the picture's top-left pixel colour is transparent when
    // `transparent` is set.
    const Picture* picture = nullptr;
    int pictureWidth = 16;
    int pictureHeight = 16;
    bool transparent = true;
};

// DRAWITEMSTRUCT itemState bits the painting reads.
inline constexpr UINT kItemSelected = 0x01; // ODS_SELECTED
inline constexpr UINT kItemDisabled = 0x04; // ODS_DISABLED
inline constexpr UINT kItemChecked = 0x08;  // ODS_CHECKED
inline constexpr UINT kItemHot = 0x40;      // ODS_HOTLIGHT (menu-bar tracking)

// A 96-DPI length at dpi (rounded to the nearest pixel).
[[nodiscard]] int ScaleToDpi(int pixels96, UINT dpi) noexcept;

// The item's size with the DC's current font (the menu font): fills itemHeight and, for every kind
// but separators, itemWidth.
//   separator            height 5
//   captioned separator  width text + 4 (text + 6 + IconDim with LeftBand), height text + 2
//   popup item           width text [+ 4 spaces + shortcut] + 6 + picture width
//   menu-bar item        width text, or text + 6 + picture width with a picture
//   popup and bar items  height max(text + 2, picture height + 2), + 2 with FullSelector
void MeasureItemContent(HDC dc, const MenuLook& look, const MenuItemContent& item, UINT dpi, UINT& itemWidth,
                        UINT& itemHeight);

// Paints the whole item into rect of dc with the DC's current font; state holds the DRAWITEMSTRUCT
// state bits. A checked popup item shows checkMark instead of its picture. Leaves the DC's
// background mode transparent and its text colour at the last text drawn; everything else as found.
void DrawItemContent(HDC dc, const RECT& rect, UINT state, const MenuLook& look, const MenuItemContent& item, UINT dpi,
                     const Picture& checkMark);

// The check image for dpi: a black tick on white, 7 x 7 pixels at 96 DPI, scaled. The rows of the
// 96-DPI tick, top to bottom ('#' black):
//   ......#  .....##  #...###  ##.###.  #####..  .###...  ..#....
[[nodiscard]] Picture MakeCheckMark(UINT dpi);
