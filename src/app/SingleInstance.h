#pragma once
// One Trelvik per user session. The first start claims a named mutex of the session; a later start
// finds it taken, finds the first one's main window by its class and asks it to show its ruler and
// bring it to the front, then ends without adding an icon or touching the settings.
#include "util/Handles.h"

#include <windows.h>

class SingleInstance {
public:
    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Claims the session's instance for this object's lifetime. False when another start holds it.
    // A mutex that cannot be made at all does not stop the program: then this start runs.
    [[nodiscard]] bool Claim() noexcept;

private:
    UniqueHandle mutex_;
};

// The message the main window receives from a later start: show the ruler and bring it to the front.
[[nodiscard]] UINT ShowRulerMessage() noexcept;

// Asks the first start's main window (class mainWindowClass) to show its ruler, waiting up to
// `patience` for the window while that start is still coming up. False when no window was found.
bool ActivateFirstInstance(const wchar_t* mainWindowClass, DWORD patienceMs = 5000) noexcept;
