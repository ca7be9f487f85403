#pragma once
// One menu item that the owner-drawn menu (ctlUTF8Menu) has converted: what the item was before the
// conversion, so that measuring and painting can read its caption and Detach can give it back.
#include <windows.h>

#include <cstdint>
#include <string>

struct clsCtlUniIMenuItem {
    // The item kinds.
    static constexpr int32_t kMenuBar = 0;
    static constexpr int32_t kPopup = 1;
    static constexpr int32_t kSeparator = 2;
    static constexpr int32_t kCaptionedSeparator = 3;

    // The caption as read from the menu: the first cch characters of dwTypeData.
    std::wstring sText;
    // The item kind (above).
    int32_t iType = kPopup;
    // The record number; also the converted item's item data.
    int32_t lId = 0;
    // The item's type flags (MFT_*) before the conversion.
    UINT fType = 0;
    // The menu that holds the item.
    HMENU hMenu = nullptr;
    // The item's command identifier.
    UINT wId = 0;
    // The text of the caption buffer the item was read into (at most 255 characters: a longer caption
    // is cut there, never read past the buffer).
    std::wstring dwTypeData;
    // The item's item data before the conversion.
    ULONG_PTR dwItemData = 0;
    // The caption length the system reported, never more than the characters in dwTypeData.
    UINT cch = 0;
};
