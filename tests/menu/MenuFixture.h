#pragma once
// What the menu tests share: a hidden window standing in for a form, a menu tree built from a table,
// and snapshots of every item of a tree read back from the system.
#include <windows.h>

#include <string>
#include <vector>

#include "util/Handles.h"
#include "winmsg/WindowBase.h"

namespace menutest {

// A hidden top-level window of a class that only runs DefWindowProcW; destroyed with the object.
class HostWindow {
public:
    explicit HostWindow(HMENU menuBar = nullptr) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrelvikMenuTestHost";
        ::RegisterClassExW(&wc);
        window_.reset(::CreateWindowExW(0, wc.lpszClassName, L"menu host", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200,
                                        nullptr, menuBar, wc.hInstance, nullptr));
        PumpPendingMessages();
    }
    [[nodiscard]] HWND hwnd() const noexcept { return window_.get(); }

private:
    UniqueWindow window_;
};

// One item of a menu table: a caption (nullptr for a separator), its identifier, its item data
// and, for a popup item, the items of its submenu.
struct ItemSpec {
    const wchar_t* caption;
    UINT id = 0;
    ULONG_PTR data = 0;
    std::vector<ItemSpec> popup = {};
};

// Appends the items to the menu; submenus are owned by the menu once appended.
inline void AppendItems(HMENU menu, const std::vector<ItemSpec>& items) {
    for (const ItemSpec& item : items) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
        info.wID = item.id;
        info.dwItemData = item.data;
        if (!item.caption) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(item.caption);
        }
        if (!item.popup.empty()) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = ::CreatePopupMenu();
            AppendItems(info.hSubMenu, item.popup);
        }
        ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info);
    }
}

inline HMENU BuildMenuBar(const std::vector<ItemSpec>& items) {
    HMENU bar = ::CreateMenu();
    AppendItems(bar, items);
    return bar;
}

inline UniqueMenu BuildPopup(const std::vector<ItemSpec>& items) {
    UniqueMenu popup(::CreatePopupMenu());
    AppendItems(popup.get(), items);
    return popup;
}

// An item as the system reports it.
struct ItemSnapshot {
    HMENU menu;
    UINT type;
    UINT id;
    ULONG_PTR data;
    std::wstring caption;
    bool operator==(const ItemSnapshot&) const = default;
};

// Every item of the tree, depth first in position order.
inline void Snapshot(HMENU menu, std::vector<ItemSnapshot>& out) {
    const int count = ::GetMenuItemCount(menu);
    for (int p = 0; p < count; ++p) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 512;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(p), TRUE, &info);
        out.push_back({menu, info.fType, info.wID, info.dwItemData, text});
        if (info.hSubMenu) {
            Snapshot(info.hSubMenu, out);
        }
    }
}
inline std::vector<ItemSnapshot> Snapshot(HMENU menu) {
    std::vector<ItemSnapshot> out;
    Snapshot(menu, out);
    return out;
}

} // namespace menutest
