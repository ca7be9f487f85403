#include "core/clsBase64.h"

#include "core/AppError.h"

#include <algorithm>

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kPad = '=';

[[noreturn]] void Raise(const char* source, const char* description) {
    throw AppError(AppError::kToolkitError, source, description);
}

// Base64 text is ASCII, the same in every ANSI code page, so its bytes widen one to one.
std::wstring WidenAscii(std::span<const uint8_t> bytes) {
    return std::wstring(bytes.begin(), bytes.end());
}

} // namespace

clsBase64::clsBase64() noexcept {
    decodeTable_.fill(kInvalid);
    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        encodeTable_[i] = static_cast<uint8_t>(kAlphabet[i]);
        decodeTable_[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    }
    decodeTable_[kPad] = kPadValue;
}

std::wstring clsBase64::GetEncodedB64String(std::wstring_view text, bool asUnicode,
                                            const AnsiCodePage& codePage) const {
    try {
        const std::vector<uint8_t> bytes =
            asUnicode ? UnicodeStr2ByteArray(text) : AnsiStr2ByteArray(text, codePage.toAnsi);
        return WidenAscii(EncodeB64(bytes));
    } catch (...) {
        return std::wstring(text);
    }
}

std::wstring clsBase64::GetDecodedB64String(std::wstring_view text, bool asUnicode,
                                            const AnsiCodePage& codePage) const {
    try {
        const std::optional<std::vector<uint8_t>> bytes = TryDecodeB64(AnsiStr2ByteArray(text, codePage.toAnsi));
        if (!bytes) {
            return std::wstring(text);
        }
        return asUnicode ? ByteArray2UnicodeStr(*bytes) : ByteArray2AnsiStr(*bytes, codePage.fromAnsi);
    } catch (...) {
        return std::wstring(text);
    }
}

std::vector<uint8_t> clsBase64::EncodeB64(std::span<const uint8_t> bytes) const {
    std::vector<uint8_t> out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out.push_back(encodeTable_[(group >> 18) & 0x3F]);
        out.push_back(encodeTable_[(group >> 12) & 0x3F]);
        out.push_back(encodeTable_[(group >> 6) & 0x3F]);
        out.push_back(encodeTable_[group & 0x3F]);
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        const uint32_t group = (uint32_t{bytes[i]} << 16) | (rest == 2 ? uint32_t{bytes[i + 1]} << 8 : 0);
        out.push_back(encodeTable_[(group >> 18) & 0x3F]);
        out.push_back(encodeTable_[(group >> 12) & 0x3F]);
        out.push_back(rest == 2 ? encodeTable_[(group >> 6) & 0x3F] : kPad);
        out.push_back(kPad);
    }
    return out;
}

std::vector<uint8_t> clsBase64::AnsiStr2ByteArray(std::wstring_view text, AnsiEncoder toAnsi) {
    if (toAnsi == nullptr) {
        Raise("clsBase64.AnsiStr2ByteArray", "No ANSI code page conversion!");
    }
    const std::string bytes = toAnsi(text);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::wstring clsBase64::ByteArray2AnsiStr(std::span<const uint8_t> bytes, AnsiDecoder fromAnsi) {
    if (fromAnsi == nullptr) {
        Raise("clsBase64.ByteArray2AnsiStr", "No ANSI code page conversion!");
    }
    return fromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<uint8_t> clsBase64::UnicodeStr2ByteArray(std::wstring_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * text.size());
    for (const wchar_t c : text) {
        uint16_t units[2];
        const int count = Utf16CodeUnits(c, units);
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<uint8_t>(units[i] & 0xFF));
            bytes.push_back(static_cast<uint8_t>(units[i] >> 8));
        }
    }
    return bytes;
}

std::wstring clsBase64::ByteArray2UnicodeStr(std::span<const uint8_t> bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

std::vector<uint8_t> clsBase64::Span(int32_t charsPerLine, std::span<const uint8_t> bytes) {
    if (charsPerLine <= 0) {
        Raise("clsBase64.Span", "Invalid line length!");
    }
    const auto lineLength = static_cast<size_t>(charsPerLine);
    std::vector<uint8_t> out;
    out.reserve(bytes.size() + (bytes.size() / lineLength + 1) * 2);
    for (size_t i = 0; i < bytes.size(); i += lineLength) {
        const std::span<const uint8_t> line = bytes.subspan(i, std::min(lineLength, bytes.size() - i));
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

std::vector<uint8_t> clsBase64::DecodeB64(std::span<const uint8_t> bytes) const {
    std::optional<std::vector<uint8_t>> decoded = TryDecodeB64(bytes);
    if (!decoded) {
        Raise("clsBase64.DecodeB64", "Invalid Base64 text length!");
    }
    return std::move(*decoded);
}

std::optional<std::vector<uint8_t>> clsBase64::TryDecodeB64(std::span<const uint8_t> bytes) const {
    const std::vector<uint8_t> text = Unspan(bytes);
    const size_t count = text.size();
    if (count % 4 != 0) {
        // A partial group would be read past the end of the text, and the length rule (three quarters
        // of the count, rounded) would promise bytes that no character carries.
        return std::nullopt;
    }
    size_t padding = 0;
    if (count >= 2 && text[count - 1] == kPad && text[count - 2] == kPad) {
        padding = 2;
    } else if (count >= 1 && text[count - 1] == kPad) {
        padding = 1;
    }
    std::vector<uint8_t> out(count / 4 * 3);
    for (size_t i = 0, o = 0; i < count; i += 4, o += 3) {
        const uint32_t v0 = DecodeValue(text[i]);
        const uint32_t v1 = DecodeValue(text[i + 1]);
        const uint32_t v2 = DecodeValue(text[i + 2]);
        const uint32_t v3 = DecodeValue(text[i + 3]);
        out[o] = static_cast<uint8_t>((v0 << 2) | (v1 >> 4));
        out[o + 1] = static_cast<uint8_t>((v1 << 4) | (v2 >> 2));
        out[o + 2] = static_cast<uint8_t>((v2 << 6) | v3);
    }
    // The last group gives only the bytes that its padding leaves.
    out.resize(out.size() - padding);
    return out;
}

std::vector<uint8_t> clsBase64::Unspan(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> out;
    out.reserve(bytes.size());
    for (const uint8_t b : bytes) {
        // Every blank is at most a space: one comparison settles the characters of the alphabet.
        if (b > ' ' || (b != '\r' && b != '\n' && b != ' ' && b != '\t')) {
            out.push_back(b);
        }
    }
    return out;
}
