// UTF-8 captions: any bytes decode without reading past the end; well-formed UTF-8 gives exactly the
// UTF-16 text a strict decoder gives; a text carrying the bytes one per character decodes the same.
#include "FuzzCheck.h"
#include "FuzzCodePage.h"
#include "core/CaptionDecoding.h"

#include <optional>

namespace {

// The UTF-16 code units of well-formed UTF-8 (no overlong forms, no surrogates, nothing beyond
// U+10FFFF, nothing truncated), or nullopt.
std::optional<std::wstring> StrictUtf16(std::span<const uint8_t> bytes) {
    std::wstring text;
    for (size_t i = 0; i < bytes.size();) {
        const uint32_t b = bytes[i];
        size_t length = 0;
        uint32_t code = 0;
        uint32_t minimum = 0;
        if (b < 0x80) {
            length = 1, code = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, code = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, code = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, code = b & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) {
            return std::nullopt;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (bytes[i + k] & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code > 0xFFFF) {
            text.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(code));
        }
        i += length;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    const std::wstring text = Utf8ToString(input);
    FUZZ_CHECK(text.size() <= size);
    if (const std::optional<std::wstring> strict = StrictUtf16(input)) {
        FUZZ_CHECK(text == *strict);
    }
    FUZZ_CHECK(AnsiUtf8ToString(WidenBytes(input), &FuzzToLatin1) == text);
    return 0;
}
