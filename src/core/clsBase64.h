#pragma once
// Base64 (RFC 4648, section 4: "A"-"Z", "a"-"z", "0"-"9", "+", "/", padding "=") between byte
// sequences and text. The menu decodes its stored captions with GetDecodedB64String; the encoding side
// completes the pair. Text members take the system's ANSI code page as a parameter so that this stays
// portable: the platform layer supplies the conversions (util/SystemCodePage.h).
//
// Text here is a sequence of UTF-16 code units, one per wchar_t. Where wchar_t is wider than 16 bits a
// character above U+FFFF is written as its surrogate pair, so the bytes are those Windows would see.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Text -> the bytes of the system's ANSI code page, one byte per character where it has one.
using AnsiEncoder = std::string (*)(std::wstring_view);
// The bytes of the system's ANSI code page -> text.
using AnsiDecoder = std::wstring (*)(std::string_view);

// The system's ANSI code page, both ways.
struct AnsiCodePage {
    AnsiEncoder toAnsi = nullptr;
    AnsiDecoder fromAnsi = nullptr;
};

// The UTF-16 code units of one wchar_t, returned in units: the character itself (1), or, where wchar_t
// is wider than 16 bits and the character lies above U+FFFF, its surrogate pair (2; U+FFFD beyond
// U+10FFFF).
inline int Utf16CodeUnits(wchar_t c, uint16_t (&units)[2]) noexcept {
    const auto code = static_cast<uint32_t>(c);
    if constexpr (sizeof(wchar_t) > 2) {
        if (code <= 0xFFFF) {
            // The common case, settled by one comparison.
            units[0] = static_cast<uint16_t>(code);
            return 1;
        }
        if (code > 0x10FFFF) {
            units[0] = 0xFFFD;
            return 1;
        }
        units[0] = static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10));
        units[1] = static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        return 2;
    }
    units[0] = static_cast<uint16_t>(code);
    return 1;
}

class clsBase64 {
public:
    // The decoding table covers the character codes 0 .. 233.
    static constexpr size_t kDecodeTableSize = 234;
    // The table value of "=".
    static constexpr uint8_t kPadValue = 64;
    // The table value of every code outside the alphabet and of every code above the table.
    static constexpr uint8_t kInvalid = 255;

    // The text's bytes (UTF-16LE when asUnicode, else the ANSI code page) encoded as Base64 text.
    // Never throws a toolkit error: on any error (no encoder, say) the text comes back unchanged.
    [[nodiscard]] std::wstring GetEncodedB64String(std::wstring_view text, bool asUnicode,
                                                   const AnsiCodePage& codePage) const;
    // The Base64 text (taken as bytes of the ANSI code page) decoded, and the bytes read as UTF-16LE
    // when asUnicode, else in the ANSI code page. On any error (a length that is not a multiple of
    // four once blanks are removed, a missing conversion) the text comes back unchanged.
    [[nodiscard]] std::wstring GetDecodedB64String(std::wstring_view text, bool asUnicode,
                                                   const AnsiCodePage& codePage) const;

    // Standard Base64 of n bytes: ceil(n / 3) x 4 characters, the last group padded with "=" (n mod 3
    // = 2) or "==" (n mod 3 = 1). No line breaks. Empty in, empty out.
    [[nodiscard]] std::vector<uint8_t> EncodeB64(std::span<const uint8_t> bytes) const;

    // The text in the ANSI code page. Throws AppError when no encoder is given.
    [[nodiscard]] static std::vector<uint8_t> AnsiStr2ByteArray(std::wstring_view text, AnsiEncoder toAnsi);
    // The bytes read in the ANSI code page. Throws AppError when no decoder is given.
    [[nodiscard]] static std::wstring ByteArray2AnsiStr(std::span<const uint8_t> bytes, AnsiDecoder fromAnsi);
    // The text's UTF-16LE code units as bytes, two per unit.
    [[nodiscard]] static std::vector<uint8_t> UnicodeStr2ByteArray(std::wstring_view text);
    // The bytes read as UTF-16LE, two per code unit. A last odd byte belongs to no code unit and is
    // left out.
    [[nodiscard]] static std::wstring ByteArray2UnicodeStr(std::span<const uint8_t> bytes);

    // The input cut into lines of charsPerLine bytes, each followed by CR LF (the last, shorter line
    // too). Empty in, empty out. Throws AppError when charsPerLine is not positive.
    [[nodiscard]] static std::vector<uint8_t> Span(int32_t charsPerLine, std::span<const uint8_t> bytes);

    // Decodes Base64 after Unspan. The padding p is 2 when the text ends in "==", 1 when it ends in
    // one "=", else 0; the output has 3 x (characters / 4) - p bytes: every group gives three bytes
    // except the last, which gives 3 - p. Characters outside the alphabet are not rejected: their
    // value (255, or 64 for a "=" that is not trailing padding) enters the bit arithmetic, which keeps
    // the low eight bits of each byte. Throws AppError when the character count is not a multiple of
    // four, so that no group is ever read past the end of the input. Empty in, empty out.
    [[nodiscard]] std::vector<uint8_t> DecodeB64(std::span<const uint8_t> bytes) const;
    // DecodeB64 without the error, for callers to whom a refused text is no exception: nullopt
    // where DecodeB64 throws.
    [[nodiscard]] std::optional<std::vector<uint8_t>> TryDecodeB64(std::span<const uint8_t> bytes) const;

    // The input without carriage returns, line feeds, spaces and tabs.
    [[nodiscard]] static std::vector<uint8_t> Unspan(std::span<const uint8_t> bytes);

    // The decoding table's value of a character code: 0 .. 63 for the alphabet, 64 for "=", 255 for
    // any other code, including every code above the table.
    [[nodiscard]] uint8_t DecodeValue(uint32_t code) const noexcept;
};
