#include "app/SingleInstance.h"

namespace {
// Local: one per session, as the notification area and the ruler are.
constexpr wchar_t kMutexName[] = L"Local\\Trelvik.Instance";
} // namespace

bool SingleInstance::Claim() noexcept {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (!mutex_) {
        return true;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        mutex_.reset();
        return false;
    }
    return true;
}

UINT ShowRulerMessage() noexcept {
    static const UINT message = ::RegisterWindowMessageW(L"Trelvik.ShowRuler");
    return message;
}

bool ActivateFirstInstance(const wchar_t* mainWindowClass, DWORD patienceMs) noexcept {
    const ULONGLONG deadline = ::GetTickCount64() + patienceMs;
    HWND main = nullptr;
    while ((main = ::FindWindowW(mainWindowClass, nullptr)) == nullptr && ::GetTickCount64() < deadline) {
        ::Sleep(50); // the first start holds the mutex but has not made its window yet
    }
    if (!main) {
        return false;
    }
    // Only the foreground process may hand the foreground on: let the first start take it.
    DWORD process = 0;
    ::GetWindowThreadProcessId(main, &process);
    ::AllowSetForegroundWindow(process);
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(main, ShowRulerMessage(), 0, 0, SMTO_ABORTIFHUNG, patienceMs, &result) != 0;
}
