#include "util/SettingsStore.h"

#include "core/NumberText.h"
#include "util/Handles.h"
#include "util/LocaleInfo.h"

#include <windows.h>

#include <vector>

SettingsStore::SettingsStore(std::wstring_view application, std::wstring_view section)
    : keyPath_(L"Software\\" + std::wstring(application) + L"\\" + std::wstring(section)) {}

std::wstring SettingsStore::Get(std::wstring_view key, std::wstring_view defaultValue) const {
    const std::wstring name(key);
    DWORD bytes = 0;
    // RRF_RT_REG_SZ: a value of any other type counts as absent.
    if (::RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0) {
        return std::wstring(defaultValue);
    }
    // The value may grow between the two calls; retry with the new size.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                                        buffer.data(), &size);
        if (status == ERROR_SUCCESS) {
            return std::wstring(buffer.data());
        }
        if (status != ERROR_MORE_DATA) {
            break;
        }
        bytes = size;
    }
    return std::wstring(defaultValue);
}

int SettingsStore::GetInt(std::wstring_view key, int defaultValue) const {
    const std::wstring text = Get(key, L"");
    if (text.empty()) {
        return defaultValue;
    }
    return ParseSettingInt(text, UserDecimalSeparator()).value_or(defaultValue);
}

bool SettingsStore::Save(std::wstring_view key, std::wstring_view value) const {
    UniqueKey hkey;
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    hkey.reset(raw);
    const std::wstring name(key);
    const std::wstring data(value);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool SettingsStore::SaveNumber(std::wstring_view key, float value) const {
    return Save(key, FormatSingle(value, UserDecimalSeparator()));
}
