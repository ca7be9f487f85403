#pragma once
// What the window tests do on the desktop as a user would, and read back from it: the mouse through
// the system's input queue, the clipboard's text, a child window's place.
#include "support/TestSettings.h"

#include <windows.h>

#include <chrono>
#include <string>

// A mouse input that moves to a screen point (absolute, on the primary monitor) with the given
// button flags (MOUSEEVENTF_LEFTDOWN ...; 0 for a bare move).
inline INPUT MouseInput(POINT screen, DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return input;
}

// Sends that input and lets the windows handle it for a moment (the input arrives asynchronously).
inline void SendMouse(POINT screen, DWORD buttons) {
    INPUT input = MouseInput(screen, buttons);
    ::SendInput(1, &input, sizeof(input));
    PumpUntil([] { return false; }, std::chrono::milliseconds(30));
}

// The clipboard's Unicode text; "<no text>" when it holds none, "<clipboard busy>" when it cannot be
// opened.
inline std::wstring ClipboardText() {
    if (!::OpenClipboard(nullptr)) {
        return L"<clipboard busy>";
    }
    std::wstring text = L"<no text>";
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// A child window's rectangle in its parent's client coordinates.
inline RECT PlaceInParent(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
