#include "commands/cRegistry.h"

#include "core/AppError.h"
#include "util/ModulePath.h"
#include "util/Registry.h"

#include <algorithm>
#include <cstring>

namespace {
// Query, set, create sub-key, enumerate, notify, create link: what value writes and deletes ask for.
constexpr REGSAM kWriteAccess = 0x3F;
// A key name has at most 255 characters; one more for the terminator.
constexpr DWORD kMaxKeyNameChars = 256;
// A value name has at most 16383 characters; one more for the terminator. A buffer this size also
// survives a longer name appearing while the enumeration runs.
constexpr DWORD kMaxValueNameChars = 16384;

// Every error the class raises names "<executable name>.cRegistry" as its source.
[[noreturn]] void Raise(uint32_t number, std::string description) {
    throw AppError(number, ProgramErrorSource("cRegistry"), std::move(description));
}

// The root handle as the signed 32-bit number the messages show (-2147483647 for HKEY_CURRENT_USER).
std::string RootText(HKEY root) {
    return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root))));
}

std::string SystemMessage(LSTATUS status) {
    wchar_t buffer[512]{};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(status), 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "Registry error " + std::to_string(status) : Utf8(text);
}

// The integer in the first four bytes; a shorter value is padded with zero bytes rather than read
// past its end.
uint32_t DwordOf(const std::vector<uint8_t>& data) {
    uint32_t value = 0;
    std::memcpy(&value, data.data(), std::min<size_t>(data.size(), sizeof(value)));
    return value;
}

uint32_t ReverseBytes(uint32_t value) {
    return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) | (value >> 24);
}

// The value as text, for REG_SZ writes and for messages. Bytes are taken as UTF-16 units in memory
// order (an odd last byte becomes a unit of its own).
std::wstring TextOf(const RegValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return std::to_wstring(*number);
    }
    if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
        std::wstring text;
        for (size_t i = 0; i < bytes->size(); i += 2) {
            const auto low = static_cast<wchar_t>((*bytes)[i]);
            const auto high = static_cast<wchar_t>(i + 1 < bytes->size() ? (*bytes)[i + 1] : 0);
            text.push_back(static_cast<wchar_t>(low | (high << 8)));
        }
        return text;
    }
    return {};
}

// A "%" with another "%" at least two characters later marks an environment reference such as
// %PATH%; "50%" and "%%" do not.
bool HasEnvironmentReference(std::wstring_view text) {
    const size_t first = text.find(L'%');
    return first != std::wstring_view::npos && text.find(L'%', first + 2) != std::wstring_view::npos;
}

std::wstring TrimSpaces(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}
} // namespace

bool cRegistry::KeyExists() const {
    return static_cast<bool>(OpenRegistryKey(classKey_, sectionKey_, KEY_QUERY_VALUE));
}

bool cRegistry::CreateKey() {
    if (!CreateRegistryKey(classKey_, sectionKey_, kWriteAccess)) {
        Raise(kErrKey, "Failed to create registry Key: '" + Utf8(sectionKey_));
    }
    return true;
}

bool cRegistry::DeleteKey() {
    if (::RegDeleteKeyW(classKey_, sectionKey_.c_str()) != ERROR_SUCCESS) {
        Raise(kErrKey, "Failed to delete registry Key: '" + RootText(classKey_) + "',Section: '" + Utf8(sectionKey_));
    }
    return true;
}

bool cRegistry::DeleteValue() {
    const UniqueKey key = OpenRegistryKey(classKey_, sectionKey_, kWriteAccess);
    if (!key) {
        Raise(kErrKey, "Failed to open key '" + RootText(classKey_) + "',Section: '" + Utf8(sectionKey_) +
                           "' for delete access");
    }
    if (::RegDeleteValueW(key.get(), valueKey_.c_str()) != ERROR_SUCCESS) {
        Raise(kErrKey, "Failed to delete registry Key: '" + RootText(classKey_) + "',Section: '" + Utf8(sectionKey_) +
                           "',Key: '" + Utf8(valueKey_));
    }
    return true;
}

RegValue cRegistry::Value() {
    const UniqueKey key = OpenRegistryKey(classKey_, sectionKey_, KEY_QUERY_VALUE);
    if (!key) {
        return default_;
    }
    RegistryData data;
    if (ReadRegistryValue(key.get(), valueKey_, data) != ERROR_SUCCESS) {
        return default_;
    }
    valueType_ = data.type;
    switch (data.type) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return RegistryText(data.bytes);
    case REG_EXPAND_SZ:
        return ExpandEnvironmentReferences(RegistryText(data.bytes));
    case REG_DWORD:
        return static_cast<int32_t>(DwordOf(data.bytes));
    case REG_DWORD_BIG_ENDIAN:
        return static_cast<int32_t>(ReverseBytes(DwordOf(data.bytes)));
    default:
        return std::move(data.bytes);
    }
}

void cRegistry::Value(const RegValue& value) {
    const auto failureText = [&] {
        return "Failed to set registry value Key: '" + RootText(classKey_) + "',Section: '" + Utf8(sectionKey_) +
               "',Key: '" + Utf8(valueKey_) + "' to value: '" + Utf8(TextOf(value)) + "'";
    };
    const UniqueKey key = CreateRegistryKey(classKey_, sectionKey_, kWriteAccess);
    if (!key) {
        Raise(kErrKey, failureText());
    }

    LSTATUS status = ERROR_INVALID_DATA;
    switch (valueType_) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const std::wstring text = TextOf(value);
        const DWORD type = HasEnvironmentReference(text) ? REG_EXPAND_SZ : REG_SZ;
        status = WriteRegistryText(key.get(), valueKey_, type, text);
        break;
    }
    case REG_BINARY: {
        const auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
        if (!bytes) {
            Raise(kErrKey, {});
        }
        status = WriteRegistryValue(key.get(), valueKey_, REG_BINARY, *bytes);
        break;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        // Stored little-endian whichever of the two types was asked for. A value that is not an
        // integer is refused rather than silently not written.
        if (const auto* number = std::get_if<int32_t>(&value)) {
            status = WriteRegistryValue(key.get(), valueKey_, REG_DWORD,
                                        std::span(reinterpret_cast<const uint8_t*>(number), sizeof(*number)));
        }
        break;
    default:
        break;
    }
    if (status != ERROR_SUCCESS) {
        Raise(kErrSetValue, failureText());
    }
}

bool cRegistry::EnumerateValues(std::vector<std::wstring>& names, int32_t& count) const {
    names.clear();
    count = 0;
    const UniqueKey key = OpenRegistryKey(classKey_, sectionKey_, KEY_QUERY_VALUE);
    if (key) {
        std::wstring buffer(kMaxValueNameChars, L'\0');
        for (DWORD index = 0;; ++index) {
            DWORD length = kMaxValueNameChars;
            if (::RegEnumValueW(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            names.emplace_back(buffer.data(), std::min(length, kMaxValueNameChars));
        }
    }
    count = static_cast<int32_t>(names.size());
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::wstring>& names, int32_t& count) const {
    names.clear();
    count = 0;
    const UniqueKey key = OpenRegistryKey(classKey_, sectionKey_, KEY_ENUMERATE_SUB_KEYS);
    if (!key) {
        return true;
    }
    wchar_t buffer[kMaxKeyNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyNameChars;
        const LSTATUS status = ::RegEnumKeyExW(key.get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            Raise(kErrEnumerate, SystemMessage(status));
        }
        names.emplace_back(buffer, std::min(length, kMaxKeyNameChars));
        count = static_cast<int32_t>(names.size());
    }
    return true;
}

void cRegistry::SetClassText(std::wstring_view section, std::wstring_view text) {
    // A separate object per write, so that the caller's properties stay as they were.
    const std::pair<HKEY, std::wstring_view> roots[] = {{HKEY_CLASSES_ROOT, L""},
                                                        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\"}};
    for (const auto& [root, prefix] : roots) {
        cRegistry registry;
        registry.ClassKey(root);
        registry.SectionKey(std::wstring(prefix) + std::wstring(section));
        registry.ValueType(REG_SZ);
        registry.Value(std::wstring(text));
    }
}

void cRegistry::CreateEXEAssociation(std::wstring_view exePath, std::wstring_view className,
                                     std::wstring_view classDescription, std::wstring_view association,
                                     std::wstring_view openMenuText, bool supportsPrint,
                                     std::wstring_view printMenuText, bool supportsNew, std::wstring_view newMenuText,
                                     bool supportsInstall, std::wstring_view installMenuText,
                                     int32_t defaultIconIndex) {
    std::wstring path = TrimSpaces(exePath);
    if (path.empty() || path.front() != L'"') {
        path.insert(path.begin(), L'"');
    }
    // A lone quote is an opening one: it still needs its closing partner.
    if (path.size() < 2 || path.back() != L'"') {
        path.push_back(L'"');
    }
    const std::wstring cls(className);
    const auto orDefault = [](std::wstring_view text, std::wstring fallback) {
        return text.empty() ? std::move(fallback) : std::wstring(text);
    };
    const auto verb = [&](const wchar_t* name, const std::wstring& menuText, const wchar_t* switches) {
        const std::wstring section = cls + L"\\shell\\" + name;
        SetClassText(section, menuText);
        SetClassText(section + L"\\command", path + switches + L"\"%1\"");
    };

    SetClassText(L"." + std::wstring(association), cls);
    SetClassText(cls, classDescription);
    verb(L"open", orDefault(openMenuText, L"&Open"), L" ");
    if (supportsPrint) {
        verb(L"print", orDefault(printMenuText, L"&Print"), L" /p ");
    }
    if (supportsInstall) {
        verb(L"add", orDefault(installMenuText, L"&Install " + std::wstring(association)), L" /a ");
    }
    if (supportsNew) {
        verb(L"new", orDefault(newMenuText, L"&New"), L" /n ");
    }
    if (defaultIconIndex >= 0) {
        SetClassText(cls + L"\\DefaultIcon", path + L"," + std::to_wstring(defaultIconIndex));
    }
}

void cRegistry::CreateAdditionalEXEAssociations(std::wstring_view className, const std::vector<std::wstring>& items) {
    if (items.size() % 3 != 0) {
        Raise(kErrAssociationList,
              "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    }
    cRegistry existing;
    existing.ClassKey(HKEY_CLASSES_ROOT);
    existing.SectionKey(className);
    if (!existing.KeyExists()) {
        Raise(kErrAssociationClass, "Error - attempt to create additional associations before class defined.");
    }
    for (size_t i = 0; i < items.size(); i += 3) {
        const std::wstring section = std::wstring(className) + L"\\shell\\" + items[i];
        SetClassText(section, items[i + 1]);
        SetClassText(section + L"\\command", items[i + 2]);
    }
}
