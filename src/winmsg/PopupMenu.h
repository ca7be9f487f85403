#pragma once
// Popup menus of a window: shown at a point or at the cursor, with the window as their owner (it
// receives the menu's messages and the chosen command). Each call returns once the menu has closed.
#include <windows.h>

// Makes the window the foreground window and shows the popup menu at the screen position.
void ShowPopupMenu(HWND owner, HMENU menu, POINT screenPosition) noexcept;
// The same at the cursor.
void ShowPopupMenuAtCursor(HWND owner, HMENU menu) noexcept;
