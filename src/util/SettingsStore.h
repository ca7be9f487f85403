#pragma once
// The per-user settings store: string values under HKEY_CURRENT_USER\Software\<application>\<section>.
// A read names a default that is returned when the value is absent or not a string; a write creates
// the key path when it is missing.
#include <string>
#include <string_view>

class SettingsStore {
public:
    SettingsStore(std::wstring_view application, std::wstring_view section);

    [[nodiscard]] std::wstring Get(std::wstring_view key, std::wstring_view defaultValue) const;
    // Reads a whole number written as locale number text; absent or bad text gives the default.
    [[nodiscard]] int GetInt(std::wstring_view key, int defaultValue) const;
    // Writes a REG_SZ value; false when the registry refused it.
    bool Save(std::wstring_view key, std::wstring_view value);
    // Writes a number as the text of a single-precision number in the user's number format.
    bool SaveNumber(std::wstring_view key, float value);

    [[nodiscard]] const std::wstring& KeyPath() const noexcept { return keyPath_; }

private:
    std::wstring keyPath_;
};
