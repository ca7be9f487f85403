#pragma once
// The registry as the program uses it, under both the settings store and the registry class: keys
// opened or created into an owner, values read whole (however their size changes meanwhile) and
// written, and the conversions of stored text.
#include "util/Handles.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// <root>\<path> opened with the access asked for; empty when it does not open.
[[nodiscard]] UniqueKey OpenRegistryKey(HKEY root, std::wstring_view path, REGSAM access);
// <root>\<path> opened, created first (with the path to it) when it is missing; empty when that fails.
[[nodiscard]] UniqueKey CreateRegistryKey(HKEY root, std::wstring_view path, REGSAM access);

// A value's type and its stored bytes.
struct RegistryData {
    DWORD type = REG_NONE;
    std::vector<uint8_t> bytes;
};

// Reads the value <name> of an open key (an empty name is the key's default value). A value that grows
// between learning its size and reading it is read again at its new size. Returns the system's status;
// `data` holds the value only on ERROR_SUCCESS.
[[nodiscard]] LSTATUS ReadRegistryValue(HKEY key, std::wstring_view name, RegistryData& data);
// Writes the value <name> of an open key.
[[nodiscard]] LSTATUS WriteRegistryValue(HKEY key, std::wstring_view name, DWORD type, std::span<const uint8_t> bytes);
// Writes text as a value of a text type, with its terminator.
[[nodiscard]] LSTATUS WriteRegistryText(HKEY key, std::wstring_view name, DWORD type, std::wstring_view text);

// Stored text: whole UTF-16 units only (an odd last byte is ignored) without one final terminator. A
// string stored without its terminator keeps all its characters.
[[nodiscard]] std::wstring RegistryText(std::span<const uint8_t> bytes);
// The text with its environment references (%NAME%) expanded; the text as it is when nothing can be.
[[nodiscard]] std::wstring ExpandEnvironmentReferences(const std::wstring& text);
