#include "core/CaptionDecoding.h"

#include "core/AppError.h"

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

} // namespace

std::wstring Utf8ToString(std::span<const uint8_t> bytes) {
    // No sequence gives more code units than it has bytes (four bytes give at most a surrogate pair),
    // so the text is written into room for as many units as there are bytes and then cut to size.
    std::wstring text(bytes.size(), L'\0');
    wchar_t* out = text.data();
    const uint8_t* in = bytes.data();
    const uint8_t* const end = in + bytes.size();
    while (in != end) {
        const uint32_t b = in[0];
        const auto left = end - in;
        if (b < 0xC2) {
            // ASCII, or a byte that cannot begin a sequence: the character of that code.
            *out++ = static_cast<wchar_t>(b);
            in += 1;
        } else if (b < 0xE0) {
            if (left < 2) {
                break;
            }
            *out++ = static_cast<wchar_t>(((b & 0x1F) << 6) | (in[1] & 0x3Fu));
            in += 2;
        } else if (b >= 0xF0 && b <= 0xF4) {
            // Characters beyond U+FFFF: taken as three bytes, the lead's bits would be lost and the
            // fourth byte would turn up as a character of its own.
            if (left < 4) {
                break;
            }
            const uint32_t code =
                ((b & 0x07) << 18) | ((in[1] & 0x3Fu) << 12) | ((in[2] & 0x3Fu) << 6) | (in[3] & 0x3Fu);
            if (code > 0x10FFFF) {
                *out++ = kReplacementCharacter;
            } else if (code > 0xFFFF) {
                // The two UTF-16 code units that Windows text holds.
                *out++ = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
                *out++ = static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                *out++ = static_cast<wchar_t>(code);
            }
            in += 4;
        } else {
            if (left < 3) {
                break;
            }
            *out++ = static_cast<wchar_t>(((b & 0x0F) << 12) | ((in[1] & 0x3Fu) << 6) | (in[2] & 0x3Fu));
            in += 3;
        }
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return text;
}

std::wstring AnsiUtf8ToString(std::wstring_view text, AnsiEncoder toAnsi) {
    if (text.empty()) {
        return {};
    }
    if (toAnsi == nullptr) {
        // The error that AnsiStr2ByteArray raises without a code page.
        throw AppError(AppError::kToolkitError, "clsBase64.AnsiStr2ByteArray", "No ANSI code page conversion!");
    }
    // The code page's bytes are decoded where they lie, not copied into a byte array first.
    const std::string bytes = toAnsi(text);
    return Utf8ToString({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

std::wstring XorChecksumHex(std::wstring_view text) {
    // The XOR of all the bytes is the XOR of the low and the high byte of the XOR of all the code units,
    // so the characters are combined first, with no test per character. Only a character above U+FFFF
    // (where wchar_t is wider than 16 bits) is no code unit of its own: a text with one is taken
    // character by character, as its code units.
    uint32_t units = 0;
    uint32_t anyBits = 0;
    for (const wchar_t c : text) {
        units ^= static_cast<uint32_t>(c);
        anyBits |= static_cast<uint32_t>(c);
    }
    if (anyBits > 0xFFFF) {
        units = 0;
        for (const wchar_t c : text) {
            uint16_t pair[2];
            if (Utf16CodeUnits(c, pair) == 2) {
                units ^= pair[1];
            }
            units ^= pair[0];
        }
    }
    const uint32_t sum = (units ^ (units >> 8)) & 0xFF;
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    return {kDigits[sum >> 4], kDigits[sum & 0x0F]};
}

bool IsEncodedUniString(std::wstring_view text) {
    if (text.size() <= 3 || !text.starts_with(L"0X")) {
        return false;
    }
    return text.substr(text.size() - 2) == XorChecksumHex(text.substr(2, text.size() - 4));
}

std::wstring DecodeUniString(std::wstring_view text, AnsiEncoder toAnsi) {
    if (!IsEncodedUniString(text) || toAnsi == nullptr) {
        return std::wstring(text);
    }
    // Not through GetDecodedB64String: on failure that gives back only the Base64 part, while the
    // caption must come back whole.
    const std::string base64 = toAnsi(text.substr(2, text.size() - 4));
    const std::optional<std::vector<uint8_t>> bytes =
        clsBase64().TryDecodeB64({reinterpret_cast<const uint8_t*>(base64.data()), base64.size()});
    return bytes ? clsBase64::ByteArray2UnicodeStr(*bytes) : std::wstring(text);
}
