#include "controls/PropertyBag.h"

#include <limits>

#include "core/AppError.h"
#include "draw/DrawHelpers.h"

namespace {

// Property names are ASCII identifiers; the stored form data holds them in lower case.
std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

} // namespace

PropertyBag::PropertyBag(std::initializer_list<std::pair<std::string_view, Value>> values) {
    for (const auto& [name, value] : values) {
        WriteProperty(name, value);
    }
}

void PropertyBag::WriteProperty(std::string_view name, Value value) {
    values_.insert_or_assign(LowerName(name), std::move(value));
}

const PropertyBag::Value* PropertyBag::Find(std::string_view name) const {
    const auto it = values_.find(LowerName(name));
    return it == values_.end() ? nullptr : &it->second;
}

void PropertyBag::Raise(uint32_t number, std::string_view name, const char* description) {
    throw AppError(number, "PropertyBag.ReadProperty", std::string(description) + ": " + std::string(name));
}

bool PropertyBag::ReadBool(std::string_view name, bool defaultValue) const {
    const Value* value = Find(name);
    if (!value) {
        return defaultValue;
    }
    if (const bool* b = std::get_if<bool>(value)) {
        return *b;
    }
    if (const int32_t* n = std::get_if<int32_t>(value)) {
        return *n != 0;
    }
    Raise(kTypeMismatch, name, "Type mismatch");
}

int32_t PropertyBag::ReadLong(std::string_view name, int32_t defaultValue) const {
    const Value* value = Find(name);
    if (!value) {
        return defaultValue;
    }
    if (const int32_t* n = std::get_if<int32_t>(value)) {
        return *n;
    }
    if (const bool* b = std::get_if<bool>(value)) {
        return *b ? -1 : 0;
    }
    Raise(kTypeMismatch, name, "Type mismatch");
}

int16_t PropertyBag::ReadInteger(std::string_view name, int16_t defaultValue) const {
    const int32_t n = ReadLong(name, defaultValue);
    if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max()) {
        Raise(kOverflow, name, "Overflow");
    }
    return static_cast<int16_t>(n);
}

std::wstring PropertyBag::ReadString(std::string_view name, std::wstring_view defaultValue) const {
    const Value* value = Find(name);
    if (!value) {
        return std::wstring(defaultValue);
    }
    if (const auto* text = std::get_if<std::wstring>(value)) {
        return *text;
    }
    if (const auto* bytes = std::get_if<std::vector<uint8_t>>(value)) {
        return BytesToString(*bytes);
    }
    Raise(kTypeMismatch, name, "Type mismatch");
}

StdFont PropertyBag::ReadFont(std::string_view name, const StdFont& defaultValue) const {
    const Value* value = Find(name);
    if (!value) {
        return defaultValue;
    }
    if (const auto* font = std::get_if<StdFont>(value)) {
        return *font;
    }
    Raise(kTypeMismatch, name, "Type mismatch");
}

PicturePtr PropertyBag::ReadPicture(std::string_view name) const {
    const Value* value = Find(name);
    if (!value) {
        return nullptr;
    }
    if (const auto* picture = std::get_if<PicturePtr>(value)) {
        return *picture;
    }
    Raise(kTypeMismatch, name, "Type mismatch");
}

void PropertyBag::WriteString(std::string_view name, std::wstring_view value) {
    WriteProperty(name, StringToBytes(value));
}
