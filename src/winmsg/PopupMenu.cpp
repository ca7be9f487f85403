#include "winmsg/PopupMenu.h"

void ShowPopupMenu(HWND owner, HMENU menu, POINT screenPosition) noexcept {
    // Without being foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, screenPosition.x, screenPosition.y, owner, nullptr);
    // A message for the window after the menu: otherwise the next popup of a notification icon
    // can vanish at once (the documented remedy for menus opened from the notification area).
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

void ShowPopupMenuAtCursor(HWND owner, HMENU menu) noexcept {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ShowPopupMenu(owner, menu, cursor);
}
