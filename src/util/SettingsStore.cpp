#include "util/SettingsStore.h"

#include "core/NumberText.h"
#include "util/LocaleInfo.h"
#include "util/Registry.h"

#include <windows.h>

#include <cwchar>

SettingsStore::SettingsStore(std::wstring_view application, std::wstring_view section)
    : keyPath_(L"Software\\" + std::wstring(application) + L"\\" + std::wstring(section)) {}

std::wstring SettingsStore::Get(std::wstring_view key, std::wstring_view defaultValue) const {
    const UniqueKey hkey = OpenRegistryKey(HKEY_CURRENT_USER, keyPath_, KEY_QUERY_VALUE);
    RegistryData data;
    // A value of any other type than text counts as absent (text with references is read expanded);
    // text ends at its first terminator.
    if (!hkey || ReadRegistryValue(hkey.get(), key, data) != ERROR_SUCCESS ||
        (data.type != REG_SZ && data.type != REG_EXPAND_SZ) || data.bytes.empty()) {
        return std::wstring(defaultValue);
    }
    std::wstring text = RegistryText(data.bytes);
    text.resize(std::wcslen(text.c_str()));
    return data.type == REG_EXPAND_SZ ? ExpandEnvironmentReferences(text) : text;
}

int SettingsStore::GetInt(std::wstring_view key, int defaultValue) const {
    const std::wstring text = Get(key, L"");
    if (text.empty()) {
        return defaultValue;
    }
    return ParseSettingInt(text, UserDecimalSeparator()).value_or(defaultValue);
}

bool SettingsStore::Save(std::wstring_view key, std::wstring_view value) {
    const UniqueKey hkey = CreateRegistryKey(HKEY_CURRENT_USER, keyPath_, KEY_SET_VALUE);
    return hkey && WriteRegistryText(hkey.get(), key, REG_SZ, value) == ERROR_SUCCESS;
}

bool SettingsStore::SaveNumber(std::wstring_view key, float value) {
    return Save(key, FormatSingle(value, UserDecimalSeparator()));
}
