#include "util/Registry.h"

#include "core/FillGrowing.h"

#include <cstring>
#include <optional>

// A failed call may leave anything in its out-parameter: that is not a key to close.
UniqueKey OpenRegistryKey(HKEY root, std::wstring_view path, REGSAM access) {
    UniqueKey key;
    if (::RegOpenKeyExW(root, std::wstring(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
        (void)key.release();
    }
    return key;
}

UniqueKey CreateRegistryKey(HKEY root, std::wstring_view path, REGSAM access) {
    UniqueKey key;
    if (::RegCreateKeyExW(root, std::wstring(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        (void)key.release();
    }
    return key;
}

LSTATUS ReadRegistryValue(HKEY key, std::wstring_view name, RegistryData& data) {
    const std::wstring valueName(name);
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &data.type, nullptr, &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
        return status;
    }
    // The buffer is never null (FillGrowing offers at least one byte): with a null one, the call reports
    // only the size, and a value that has just become non-empty would read as empty.
    const bool read = FillGrowing(data.bytes, size, [&](std::vector<uint8_t>& buffer) -> std::optional<size_t> {
        DWORD got = static_cast<DWORD>(buffer.size());
        status = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &data.type, buffer.data(), &got);
        if (status == ERROR_SUCCESS) {
            return std::min<size_t>(got, buffer.size());
        }
        if (status == ERROR_MORE_DATA) {
            return std::max<size_t>(got, buffer.size() + 1);
        }
        return std::nullopt;
    });
    if (!read && status == ERROR_SUCCESS) {
        status = ERROR_MORE_DATA; // it kept growing
    }
    return status;
}

LSTATUS WriteRegistryValue(HKEY key, std::wstring_view name, DWORD type, std::span<const uint8_t> bytes) {
    if (bytes.size() > MAXDWORD) {
        return ERROR_INVALID_DATA;
    }
    return ::RegSetValueExW(key, std::wstring(name).c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

LSTATUS WriteRegistryText(HKEY key, std::wstring_view name, DWORD type, std::wstring_view text) {
    const std::wstring terminated(text);
    return WriteRegistryValue(
        key, name, type,
        std::span(reinterpret_cast<const uint8_t*>(terminated.c_str()), (terminated.size() + 1) * sizeof(wchar_t)));
}

std::wstring RegistryText(std::span<const uint8_t> bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
    std::wstring expanded;
    const bool done = FillGrowing(expanded, text.size() + 1, [&](std::wstring& buffer) -> std::optional<size_t> {
        // The count includes the terminator, whether it fitted or is what would be needed.
        const DWORD got = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        return got == 0 ? std::nullopt : std::optional<size_t>(got);
    });
    if (!done) {
        return text;
    }
    expanded.resize(std::wcslen(expanded.c_str()));
    return expanded;
}
