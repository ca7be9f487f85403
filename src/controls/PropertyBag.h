#pragma once
// The stored design values of a form's drawn controls: a name/value set that the form hands to each
// control when it creates it (ReadProperties) and that a control can write itself back into
// (WriteProperties). Names are matched without regard to case. A property missing from the set takes
// the default the reader passes; a value of the wrong kind raises an error, which the controls' own
// readers swallow so that the property keeps the value it had.
//
// Unicode strings are stored as their UTF-16LE bytes (StringToBytes); a reader of a string accepts
// those bytes or plain text, so a form may write its captions as text.
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "draw/Picture.h"
#include "draw/clsFontHDC.h"

// A picture shared by the form that made it and the controls that show it (a mouse icon, an image):
// it is freed when the last of them lets go.
using PicturePtr = std::shared_ptr<const Picture>;

class PropertyBag {
public:
    using Value = std::variant<bool, int32_t, std::wstring, std::vector<uint8_t>, StdFont, PicturePtr>;

    // The error number a value of the wrong kind or range raises (source "PropertyBag.ReadProperty").
    static constexpr uint32_t kTypeMismatch = 13;
    static constexpr uint32_t kOverflow = 6;

    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<std::string_view, Value>> values);

    // Stores the value under the name, replacing a value stored under the same name in any case.
    void WriteProperty(std::string_view name, Value value);
    // The value stored under the name, or nullptr.
    [[nodiscard]] const Value* Find(std::string_view name) const;
    [[nodiscard]] bool Contains(std::string_view name) const { return Find(name) != nullptr; }
    [[nodiscard]] size_t size() const noexcept { return values_.size(); }

    // Typed readers: the default when the name is missing. Numbers and booleans convert into each
    // other (a boolean reads as -1 or 0, a number as a boolean when it is not 0); a 16-bit reader
    // raises kOverflow for a number outside -32768 .. 32767; anything else of the wrong kind raises
    // kTypeMismatch.
    [[nodiscard]] bool ReadBool(std::string_view name, bool defaultValue) const;
    [[nodiscard]] int32_t ReadLong(std::string_view name, int32_t defaultValue) const;
    [[nodiscard]] int16_t ReadInteger(std::string_view name, int16_t defaultValue) const;
    // A string stored as text or as UTF-16LE bytes.
    [[nodiscard]] std::wstring ReadString(std::string_view name, std::wstring_view defaultValue) const;
    [[nodiscard]] StdFont ReadFont(std::string_view name, const StdFont& defaultValue) const;
    // Empty when missing.
    [[nodiscard]] PicturePtr ReadPicture(std::string_view name) const;

    // Writers in the stored forms: WriteString stores the UTF-16LE bytes.
    void WriteBool(std::string_view name, bool value) { WriteProperty(name, value); }
    void WriteLong(std::string_view name, int32_t value) { WriteProperty(name, value); }
    void WriteString(std::string_view name, std::wstring_view value);
    void WriteFont(std::string_view name, const StdFont& value) { WriteProperty(name, value); }
    void WritePicture(std::string_view name, PicturePtr value) { WriteProperty(name, std::move(value)); }

private:
    [[noreturn]] static void Raise(uint32_t number, std::string_view name, const char* description);

    // Keys in lower case.
    std::map<std::string, Value, std::less<>> values_;
};
