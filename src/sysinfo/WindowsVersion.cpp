#include "sysinfo/WindowsVersion.h"

#include <windows.h>

#include "core/WindowsVersionCode.h"

namespace {

// RtlGetVersion's signature; ntdll's record is the same as OSVERSIONINFOW.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

bool QueryThroughNtdll(OSVERSIONINFOW& info) noexcept {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) {
        return false;
    }
    const FARPROC proc = ::GetProcAddress(ntdll, "RtlGetVersion");
    if (!proc) {
        return false;
    }
    // Through the generic function pointer type, which GCC accepts as compatible with any other.
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(proc));
    return rtlGetVersion(&info) == 0; // STATUS_SUCCESS
}

} // namespace

WindowsVersionInfo DetectWindowsVersion() noexcept {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!QueryThroughNtdll(info)) {
        info = OSVERSIONINFOW{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (!::GetVersionExW(&info)) {
            return WindowsVersionInfo{};
        }
    }
    return WindowsVersionInfo{
        WindowsVersionCodeFor(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion),
        info.dwMajorVersion,
        info.dwMinorVersion,
        info.dwBuildNumber,
    };
}

int WindowsVersion() noexcept {
    // The version cannot change while the program runs; ask once.
    static const int code = DetectWindowsVersion().code;
    return code;
}

bool IsWin2000OrLater() noexcept {
    return WindowsVersion() >= 8;
}
