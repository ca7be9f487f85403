// A helper for the end-to-end tests: plays the two halves of a taskbar restart as a program sees them.
//   TrayRestart.exe forget <window class> <icon id>
//       The taskbar loses the icon of the window of that class (titles are ambiguous: a balloon can carry
//       the program's name), as a restarted one has lost every icon.
//   TrayRestart.exe announce
//       The taskbar announces itself with the registered "TaskbarCreated" broadcast.
// Wine's explorer does neither on its own: it never sends "TaskbarCreated", and killing and restarting
// it under a running program only works with timing luck (a new explorer quits while Wine still holds
// the old desktop window).
// Exit code 0 on success, 1 when the shell call or the broadcast failed, 2 for a window or taskbar
// that cannot be found, 3 for bad arguments.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

int Forget(const wchar_t* windowClass, const wchar_t* id) {
    HWND owner = ::FindWindowW(windowClass, nullptr);
    if (!owner) {
        return 2;
    }
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = owner;
    icon.uID = static_cast<UINT>(std::wcstoul(id, nullptr, 10));
    return ::Shell_NotifyIconW(NIM_DELETE, &icon) ? 0 : 1;
}

int Announce() {
    // Programs add their icons again as soon as they hear the message, so the taskbar must exist.
    HWND tray = nullptr;
    for (int attempt = 0; attempt < 200 && !(tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)); ++attempt) {
        ::Sleep(50);
    }
    if (!tray) {
        return 2;
    }
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    return taskbarCreated != 0 && ::SendNotifyMessageW(HWND_BROADCAST, taskbarCreated, 0, 0) ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wcscmp(argv[1], L"forget") == 0) {
        return Forget(argv[2], argv[3]);
    }
    if (argc == 2 && std::wcscmp(argv[1], L"announce") == 0) {
        return Announce();
    }
    return 3;
}
