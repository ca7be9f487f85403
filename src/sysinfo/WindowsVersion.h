#pragma once
// The Windows version the program runs on, as the small code of core/WindowsVersionCode.h. The
// ruler's and the tooltip's transparency, the menu's item masks, the text box's input method and the
// monitor queries depend on it.

// What the system reports about itself, and the code it maps to. All zero when the query fails.
struct WindowsVersionInfo {
    int code = 0;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};

// Asks the system afresh. The answer comes from ntdll's RtlGetVersion, which reports the true
// version; GetVersionExW (the fallback) reports 6.2 to any program not manifested for later systems.
[[nodiscard]] WindowsVersionInfo DetectWindowsVersion() noexcept;

// The version code, detected on the first call and kept for the life of the process.
[[nodiscard]] int WindowsVersion() noexcept;

// Windows 2000 or later (code 8 and above): what layered, semi-transparent windows need.
[[nodiscard]] bool IsWin2000OrLater() noexcept;
