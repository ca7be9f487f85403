#pragma once
// A settings store of its own for each test, removed again afterwards.
#include "util/SettingsStore.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

class TestSettings {
public:
    // A key of its own per object (process id and a counter), so tests running side by side under
    // CTest never touch each other's values.
    TestSettings() : application_(UniqueApplication()), store_(application_, L"Settings") { Clear(); }
    ~TestSettings() { Clear(); }
    TestSettings(const TestSettings&) = delete;
    TestSettings& operator=(const TestSettings&) = delete;

    SettingsStore& store() { return store_; }
    void Set(const wchar_t* key, const wchar_t* value) { (void)store_.Save(key, value); }
    [[nodiscard]] std::wstring Get(const wchar_t* key) const { return store_.Get(key, L"<absent>"); }

private:
    static std::wstring UniqueApplication() {
        static int counter = 0;
        return L"TrelvikTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    }
    void Clear() { ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + application_).c_str()); }
    std::wstring application_;
    SettingsStore store_;
};

// Pumps this thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
