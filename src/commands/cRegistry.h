#pragma once
// A small general-purpose class over the registry: set a root key, a key path, a value name, a value
// type and a default, then read, write, delete or enumerate. Every operation opens and closes its key
// within the call; the object holds no handle between calls.
//
// Errors are AppError objects whose source is "<executable name>.cRegistry". Reads never raise (a
// missing key or value gives Default); writes, deletes, key creation and the association members do.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A value as read or written: empty (an unset Default), text, a 32-bit integer or raw bytes.
using RegValue = std::variant<std::monostate, std::wstring, int32_t, std::vector<uint8_t>>;

class cRegistry {
public:
    // Error numbers raised by the class.
    static constexpr uint32_t kErrKey = 26001;
    static constexpr uint32_t kErrSetValue = 0x800469A9u;
    static constexpr uint32_t kErrEnumerate = 0x800469AAu;
    static constexpr uint32_t kErrAssociationList = 0x800469ACu;
    static constexpr uint32_t kErrAssociationClass = 0x800469ADu;

    // True when <root>\<section> opens for reading.
    [[nodiscard]] bool KeyExists() const;
    // Creates <root>\<section> (and the path to it); raises 26001 when that fails.
    bool CreateKey();
    // Deletes <root>\<section>, which must have no sub-keys; raises 26001 when that fails.
    bool DeleteKey();
    // Deletes the value <name> of <root>\<section>; raises 26001 when the key does not open or the
    // value cannot be deleted (a missing value included).
    bool DeleteValue();

    // Reads the value. Returns Default when the key or value cannot be read, leaving ValueType as it
    // was; otherwise sets ValueType to the type found and returns: REG_SZ / REG_MULTI_SZ as text without
    // the final terminator (inner terminators of a multi-string stay), REG_EXPAND_SZ as the expanded
    // text, REG_DWORD as the integer, REG_DWORD_BIG_ENDIAN as the integer with its bytes reversed, any
    // other type as the bytes.
    [[nodiscard]] RegValue Value();
    // Writes the value according to ValueType, creating the key when it is missing:
    // - REG_SZ / REG_EXPAND_SZ: the value as text, stored as REG_EXPAND_SZ when it holds a "%" and
    //   another "%" at least two characters later, else as REG_SZ;
    // - REG_BINARY: the bytes (a value of another kind raises 26001 without description);
    // - REG_DWORD / REG_DWORD_BIG_ENDIAN: the integer, stored as a little-endian REG_DWORD;
    // - anything else, or a DWORD type with a value that is not an integer: raises 0x800469A9.
    // Raises 26001 when the key cannot be created and 0x800469A9 when the write fails.
    void Value(const RegValue& value);

    // Names of the values of <root>\<section>; always true (an unreadable key has no values).
    bool EnumerateValues(std::vector<std::wstring>& names, int32_t& count) const;
    // Names of the sub-keys of <root>\<section>; true with none when the key does not open. A failure
    // during the enumeration raises 0x800469AA with the system's description of it.
    bool EnumerateSections(std::vector<std::wstring>& names, int32_t& count) const;

    // Registers a file type for an executable under HKEY_CLASSES_ROOT and under
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes: the extension "." + association tied to the class, the class
    // description, the open verb and the optional print, install and new verbs (an empty menu text
    // takes the standard one) and DefaultIcon when iconIndex is 0 or more. Write failures raise.
    // The object's own properties are left as they were.
    void CreateEXEAssociation(std::wstring_view exePath, std::wstring_view className,
                              std::wstring_view classDescription, std::wstring_view association,
                              std::wstring_view openMenuText = {}, bool supportsPrint = false,
                              std::wstring_view printMenuText = {}, bool supportsNew = false,
                              std::wstring_view newMenuText = {}, bool supportsInstall = false,
                              std::wstring_view installMenuText = {}, int32_t defaultIconIndex = -1);
    // Adds verbs to a registered class: items are read in triples (Name, Text, Command). Raises
    // 0x800469AC when the item count is not a multiple of 3 and 0x800469AD when the class is not
    // registered under HKEY_CLASSES_ROOT.
    void CreateAdditionalEXEAssociations(std::wstring_view className, const std::vector<std::wstring>& items);

    [[nodiscard]] DWORD ValueType() const noexcept { return valueType_; }
    void ValueType(DWORD type) noexcept { valueType_ = type; }
    [[nodiscard]] HKEY ClassKey() const noexcept { return classKey_; }
    void ClassKey(HKEY root) noexcept { classKey_ = root; }
    [[nodiscard]] const std::wstring& SectionKey() const noexcept { return sectionKey_; }
    void SectionKey(std::wstring_view section) { sectionKey_ = section; }
    [[nodiscard]] const std::wstring& ValueKey() const noexcept { return valueKey_; }
    void ValueKey(std::wstring_view name) { valueKey_ = name; }
    [[nodiscard]] const RegValue& Default() const noexcept { return default_; }
    void Default(RegValue value) { default_ = std::move(value); }

private:
    // Writes text as the default value of <root>\<section> under both class roots.
    static void SetClassText(std::wstring_view section, std::wstring_view text);

    HKEY classKey_ = nullptr;
    std::wstring sectionKey_;
    std::wstring valueKey_;
    DWORD valueType_ = 0;
    RegValue default_;
};
