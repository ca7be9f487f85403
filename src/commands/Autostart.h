#pragma once
// Starting with Windows: an entry named after the executable (its file name without extension) under
// Software\Microsoft\Windows\CurrentVersion\Run, or RunOnce, of the current user (or of all users).
// The entry itself is the program's only record of the choice.
#include <windows.h>

#include <string>
#include <string_view>

// The command stored in the entry for the running executable, for example C:\Tools\Trelvik.exe.
[[nodiscard]] std::wstring AutostartCommand();
// The command for an executable at exePath: its folder, its file name without extension and ".exe".
// A path with a space or tab is quoted, so that the system cannot take a prefix of it for the program.
[[nodiscard]] std::wstring AutostartCommand(std::wstring_view exePath);

// Where the running executable is registered: 0 = nowhere, 1 = under RunOnce only, 2 = under Run.
// allUsers reads HKEY_LOCAL_MACHINE instead of HKEY_CURRENT_USER.
[[nodiscard]] int QueryAutostart(bool allUsers) noexcept;
// The same for the executable at exePath, with Run and RunOnce below root\runKeyParent. A value whose
// text is exactly "?" counts as no entry; a value of any other kind or text counts as one.
[[nodiscard]] int QueryAutostart(HKEY root, std::wstring_view runKeyParent, std::wstring_view exePath) noexcept;

// Mode 0 removes the entry from Run and RunOnce; mode 1 registers under RunOnce only; any other mode
// registers under Run only. Registry errors are ignored: each step runs whatever the previous did.
void ApplyAutostart(bool allUsers, int mode) noexcept;
void ApplyAutostart(HKEY root, std::wstring_view runKeyParent, std::wstring_view exePath, int mode) noexcept;
