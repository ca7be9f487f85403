#include "core/CaptionDecoding.h"

#include "core/cStringBuilder2.h"

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

void AppendChar(cStringBuilder2& text, uint32_t code) {
    const wchar_t c = static_cast<wchar_t>(code);
    text.Append(std::wstring_view(&c, 1));
}

// A character above U+FFFF as the two UTF-16 code units that Windows text holds.
void AppendSurrogatePair(cStringBuilder2& text, uint32_t code) {
    const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)),
                             static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF))};
    text.Append(std::wstring_view(pair, 2));
}

// Made on first use and kept: its tables are built once.
const clsBase64& Codec() {
    static const clsBase64 codec;
    return codec;
}

} // namespace

std::wstring Utf8ToString(std::span<const uint8_t> bytes) {
    cStringBuilder2 text;
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const uint32_t b = bytes[i];
        if (b < 0xC2) {
            // ASCII, or a byte that cannot begin a sequence: the character of that code.
            AppendChar(text, b);
            i += 1;
        } else if (b < 0xE0) {
            if (n - i < 2) {
                break;
            }
            AppendChar(text, ((b & 0x1F) << 6) | (bytes[i + 1] & 0x3Fu));
            i += 2;
        } else if (b >= 0xF0 && b <= 0xF4) {
            // Characters beyond U+FFFF: taken as three bytes, the lead's bits would be lost and the
            // fourth byte would turn up as a character of its own.
            if (n - i < 4) {
                break;
            }
            const uint32_t code = ((b & 0x07) << 18) | ((bytes[i + 1] & 0x3Fu) << 12) | ((bytes[i + 2] & 0x3Fu) << 6) |
                                  (bytes[i + 3] & 0x3Fu);
            if (code > 0x10FFFF) {
                AppendChar(text, kReplacementCharacter);
            } else if (code > 0xFFFF) {
                AppendSurrogatePair(text, code);
            } else {
                AppendChar(text, code);
            }
            i += 4;
        } else {
            if (n - i < 3) {
                break;
            }
            AppendChar(text, ((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3Fu) << 6) | (bytes[i + 2] & 0x3Fu));
            i += 3;
        }
    }
    return text.ToString();
}

std::wstring AnsiUtf8ToString(std::wstring_view text, AnsiEncoder toAnsi) {
    if (text.empty()) {
        return {};
    }
    return Utf8ToString(clsBase64::AnsiStr2ByteArray(text, toAnsi));
}

std::wstring XorChecksumHex(std::wstring_view text) {
    // The bytes one by one, without building them: each code unit adds its low and its high byte.
    uint32_t sum = 0;
    for (const wchar_t c : text) {
        uint16_t units[2];
        const int count = Utf16CodeUnits(c, units);
        for (int i = 0; i < count; ++i) {
            sum ^= units[i] ^ (units[i] >> 8);
        }
    }
    sum &= 0xFF;
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
    const std::wstring_view base64 = text.substr(2, text.size() - 4);
    const std::optional<std::vector<uint8_t>> bytes =
        Codec().TryDecodeB64(clsBase64::AnsiStr2ByteArray(base64, toAnsi));
    return bytes ? clsBase64::ByteArray2UnicodeStr(*bytes) : std::wstring(text);
}
