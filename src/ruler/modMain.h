#pragma once
// Small application helpers shared by the ruler, the tray menu and the shell.
#include <windows.h>

#include <string_view>

// Makes the window layered with the given opacity in percent (90 -> alpha 229, 100 -> 255).
// Does nothing on systems older than Windows 2000, which have no layered windows.
void SetWindowAlpha(HWND hwnd, int percent) noexcept;

// Message boxes of the program: the text, the title "Attention", an OK button and an icon.
void ShowErrorMessage(std::wstring_view text) noexcept;
void ShowInfoMessage(std::wstring_view text) noexcept;

// Size of the virtual screen (all monitors), asked afresh each time.
[[nodiscard]] int VirtualScreenWidth() noexcept;
[[nodiscard]] int VirtualScreenHeight() noexcept;
