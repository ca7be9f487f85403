#pragma once
// "Capture Screen": copies the area inside the ruler (right of its left bar, below its top bar) that
// lies on a screen to the clipboard as a bitmap and tells the user how it went.
#include <windows.h>

#include <functional>
#include <string_view>

class frmRulers;

// How the command talks to the user; the program uses the "Attention" message boxes.
struct CaptureMessages {
    std::function<void(std::wstring_view)> error;
    std::function<void(std::wstring_view)> info;
};

// The screen rectangle inside the bars (bar pixels thick) of a ruler window at `window`.
[[nodiscard]] RECT CaptureRect(const RECT& window, int bar) noexcept;
// The part of a screen rectangle that lies on the monitors (empty when none does): what the capture
// copies, so that it never pads the bitmap with black or grows it beyond the screens.
[[nodiscard]] RECT OnScreenPart(const RECT& area) noexcept;

// Runs the command; the clipboard is opened with clipboardOwner as its owner. True when our copy was
// placed and the clipboard offers it; a clipboard held open by someone else is an error.
bool CaptureScreen(frmRulers& ruler, HWND clipboardOwner, const CaptureMessages& messages);
// The same with the program's message boxes.
bool CaptureScreen(frmRulers& ruler, HWND clipboardOwner);
