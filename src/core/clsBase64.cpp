#include "core/clsBase64.h"

#include "core/AppError.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The encoding table: the character of each six-bit value.
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kPad = '=';

// The decoding table, with one entry for every byte so that decoding a byte needs no range check: the
// entries from clsBase64::kDecodeTableSize up hold kInvalid, as every code above the table gives.
constexpr std::array<uint8_t, 256> kDecodeTable = [] {
    static_assert(clsBase64::kDecodeTableSize <= 256);
    std::array<uint8_t, 256> table{};
    table.fill(clsBase64::kInvalid);
    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    }
    table[kPad] = clsBase64::kPadValue;
    return table;
}();

[[noreturn]] void Raise(const char* source, const char* description) {
    throw AppError(AppError::kToolkitError, source, description);
}

// The blanks, as bits of their character codes: carriage return, line feed, space, tab.
constexpr uint64_t kBlankBits =
    (uint64_t{1} << '\r') | (uint64_t{1} << '\n') | (uint64_t{1} << ' ') | (uint64_t{1} << '\t');

// 0 for a blank, 1 for every other byte: worked out with shifts rather than compared, so that counting
// the characters of a text, or keeping them, is an addition per byte rather than a branch. Bytes from
// 64 up are never blank (1 >> (b >> 6) is 1 only below 64).
constexpr uint32_t NotBlank(uint8_t b) {
    return 1u - (static_cast<uint32_t>(kBlankBits >> (b & 63)) & (1u >> (b >> 6)));
}
static_assert([] {
    for (int b = 0; b < 256; ++b) {
        const bool blank = b == '\r' || b == '\n' || b == ' ' || b == '\t';
        if (NotBlank(static_cast<uint8_t>(b)) != (blank ? 0u : 1u)) {
            return false;
        }
    }
    return true;
}());

// The bytes of a string as they are.
std::span<const uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Writes the (size + 2) / 3 x 4 characters of the Base64 of bytes from out on. Any character type
// holds them: Base64 text is ASCII, the same in every ANSI code page, so it widens one to one. Each group
// of four is put together first and then stored in one go.
template <typename Char> void EncodeInto(std::span<const uint8_t> bytes, Char* out) {
    const auto character = [](uint32_t group, int shift) {
        return static_cast<Char>(kAlphabet[(group >> shift) & 0x3F]);
    };
    const uint8_t* p = bytes.data();
    for (const uint8_t* const whole = p + bytes.size() / 3 * 3; p != whole; p += 3) {
        const uint32_t group = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        const Char quad[4] = {character(group, 18), character(group, 12), character(group, 6), character(group, 0)};
        std::memcpy(out, quad, sizeof quad);
        out += 4;
    }
    const size_t rest = bytes.size() % 3;
    if (rest > 0) {
        const uint32_t group = (uint32_t{p[0]} << 16) | (rest == 2 ? uint32_t{p[1]} << 8 : 0);
        const Char quad[4] = {character(group, 18), character(group, 12),
                              rest == 2 ? character(group, 6) : static_cast<Char>(kPad), static_cast<Char>(kPad)};
        std::memcpy(out, quad, sizeof quad);
    }
}

constexpr size_t EncodedSize(size_t byteCount) {
    return (byteCount + 2) / 3 * 4;
}

} // namespace

uint8_t clsBase64::DecodeValue(uint32_t code) const noexcept {
    return code < kDecodeTable.size() ? kDecodeTable[code] : kInvalid;
}

std::wstring clsBase64::GetEncodedB64String(std::wstring_view text, bool asUnicode,
                                            const AnsiCodePage& codePage) const {
    try {
        const auto encode = [](std::span<const uint8_t> bytes) {
            std::wstring encoded(EncodedSize(bytes.size()), L'\0');
            EncodeInto(bytes, encoded.data());
            return encoded;
        };
        if (asUnicode) {
            return encode(UnicodeStr2ByteArray(text));
        }
        if (codePage.toAnsi == nullptr) {
            return std::wstring(text);
        }
        // The code page's bytes are encoded where they lie, not copied into a byte array first.
        return encode(AsBytes(codePage.toAnsi(text)));
    } catch (...) {
        return std::wstring(text);
    }
}

std::wstring clsBase64::GetDecodedB64String(std::wstring_view text, bool asUnicode,
                                            const AnsiCodePage& codePage) const {
    try {
        if (codePage.toAnsi == nullptr) {
            return std::wstring(text);
        }
        // The code page's bytes are decoded where they lie, not copied into a byte array first.
        const std::string ansi = codePage.toAnsi(text);
        const std::optional<std::vector<uint8_t>> bytes = TryDecodeB64(AsBytes(ansi));
        if (!bytes) {
            return std::wstring(text);
        }
        return asUnicode ? ByteArray2UnicodeStr(*bytes) : ByteArray2AnsiStr(*bytes, codePage.fromAnsi);
    } catch (...) {
        return std::wstring(text);
    }
}

std::vector<uint8_t> clsBase64::EncodeB64(std::span<const uint8_t> bytes) const {
    std::vector<uint8_t> out(EncodedSize(bytes.size()));
    EncodeInto(bytes, out.data());
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
    // Two bytes per code unit, and at most two units per character.
    std::vector<uint8_t> bytes((sizeof(wchar_t) > 2 ? 4 : 2) * text.size());
    uint8_t* out = bytes.data();
    for (const wchar_t c : text) {
        uint16_t units[2];
        if (Utf16CodeUnits(c, units) == 2) {
            *out++ = static_cast<uint8_t>(units[0] & 0xFF);
            *out++ = static_cast<uint8_t>(units[0] >> 8);
            units[0] = units[1];
        }
        *out++ = static_cast<uint8_t>(units[0] & 0xFF);
        *out++ = static_cast<uint8_t>(units[0] >> 8);
    }
    bytes.resize(static_cast<size_t>(out - bytes.data()));
    return bytes;
}

std::wstring clsBase64::ByteArray2UnicodeStr(std::span<const uint8_t> bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    const uint8_t* in = bytes.data();
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(in[0] | (in[1] << 8));
        in += 2;
    }
    return text;
}

std::vector<uint8_t> clsBase64::Span(int32_t charsPerLine, std::span<const uint8_t> bytes) {
    if (charsPerLine <= 0) {
        Raise("clsBase64.Span", "Invalid line length!");
    }
    const auto lineLength = static_cast<size_t>(charsPerLine);
    const size_t lines = (bytes.size() + lineLength - 1) / lineLength;
    std::vector<uint8_t> out(bytes.size() + 2 * lines);
    uint8_t* o = out.data();
    for (size_t i = 0; i < bytes.size(); i += lineLength) {
        const size_t length = std::min(lineLength, bytes.size() - i);
        std::memcpy(o, bytes.data() + i, length);
        o += length;
        constexpr uint8_t kLineEnd[2] = {'\r', '\n'};
        std::memcpy(o, kLineEnd, sizeof kLineEnd);
        o += sizeof kLineEnd;
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
    // The characters are counted first and then decoded where they lie: no copy without the blanks.
    size_t count = 0;
    for (const uint8_t b : bytes) {
        count += NotBlank(b);
    }
    if (count % 4 != 0) {
        // A partial group would be read past the end of the text, and the length rule (three quarters
        // of the count, rounded) would promise bytes that no character carries.
        return std::nullopt;
    }
    // The padding: how many of the last two characters (blanks left out) are "=".
    size_t padding = 0;
    for (size_t i = bytes.size(); i > 0 && padding < 2; --i) {
        const uint8_t b = bytes[i - 1];
        if (NotBlank(b) != 0) {
            if (b != kPad) {
                break;
            }
            ++padding;
        }
    }
    std::vector<uint8_t> out(count / 4 * 3);
    uint8_t* o = out.data();
    // Each group is read in one go and its three bytes stored in one go.
    const auto decodeGroup = [&o](const uint8_t* at) {
        uint8_t group[4];
        std::memcpy(group, at, sizeof group);
        const uint32_t v0 = kDecodeTable[group[0]];
        const uint32_t v1 = kDecodeTable[group[1]];
        const uint32_t v2 = kDecodeTable[group[2]];
        const uint32_t v3 = kDecodeTable[group[3]];
        const uint8_t triple[3] = {static_cast<uint8_t>((v0 << 2) | (v1 >> 4)),
                                   static_cast<uint8_t>((v1 << 4) | (v2 >> 2)), static_cast<uint8_t>((v2 << 6) | v3)};
        std::memcpy(o, triple, sizeof triple);
        o += 3;
    };
    if (count == bytes.size()) {
        for (const uint8_t *p = bytes.data(), *end = p + count; p != end; p += 4) {
            decodeGroup(p);
        }
    } else {
        // Each character is written to the group, and kept there only when it is not blank.
        uint8_t group[4];
        uint8_t* g = group;
        for (const uint8_t b : bytes) {
            *g = b;
            g += NotBlank(b);
            if (g == std::end(group)) {
                decodeGroup(group);
                g = group;
            }
        }
    }
    // The last group gives only the bytes that its padding leaves.
    out.resize(out.size() - padding);
    return out;
}

std::vector<uint8_t> clsBase64::Unspan(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> out(bytes.size());
    uint8_t* o = out.data();
    for (const uint8_t b : bytes) {
        *o = b;
        o += NotBlank(b);
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}
