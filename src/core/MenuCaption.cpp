#include "core/MenuCaption.h"

#include <limits>
#include <optional>

namespace {

constexpr std::wstring_view kSeparatorMarker = L"[SEP]";
constexpr int32_t kNoImage = -1;

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The digit's value in the radix, or nullopt when it is no digit of it.
std::optional<uint32_t> DigitValue(wchar_t c, uint32_t radix) {
    uint32_t value = 0;
    if (c >= L'0' && c <= L'9') {
        value = static_cast<uint32_t>(c - L'0');
    } else if (AsciiUpper(c) >= L'A' && AsciiUpper(c) <= L'F') {
        value = static_cast<uint32_t>(AsciiUpper(c) - L'A' + 10);
    } else {
        return std::nullopt;
    }
    return value < radix ? std::optional<uint32_t>(value) : std::nullopt;
}

// All of digits as a number of the radix, or nullopt for no digits, a foreign character or a value
// beyond limit.
std::optional<uint64_t> ReadDigits(std::wstring_view digits, uint32_t radix, uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const wchar_t c : digits) {
        const std::optional<uint32_t> digit = DigitValue(c, radix);
        if (!digit) {
            return std::nullopt;
        }
        value = value * radix + *digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

std::wstring_view TrimSpaces(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

} // namespace

std::wstring_view CaptionPart(std::wstring_view caption) {
    const size_t tab = caption.rfind(L'\t');
    return tab == std::wstring_view::npos ? caption : caption.substr(0, tab);
}

std::wstring_view ShortcutPart(std::wstring_view caption) {
    const size_t tab = caption.rfind(L'\t');
    return tab == std::wstring_view::npos ? std::wstring_view() : caption.substr(tab + 1);
}

std::wstring DisplayCaption(std::wstring_view text) {
    if (IsCaptionedSeparator(text)) {
        text.remove_prefix(kSeparatorMarker.size());
    }
    text = CaptionPart(text);
    const size_t bar = text.rfind(L'|');
    return std::wstring(bar == std::wstring_view::npos ? text : text.substr(0, bar));
}

int32_t ImageIndexOf(std::wstring_view caption) {
    const std::wstring_view part = CaptionPart(caption);
    const size_t bar = part.rfind(L'|');
    if (bar == std::wstring_view::npos) {
        return kNoImage;
    }
    const std::wstring_view suffix = TrimSpaces(part.substr(bar + 1));
    if (suffix.empty()) {
        return kNoImage;
    }
    // Indexes are never negative, so a pattern with the top bit set names no picture either.
    constexpr uint64_t kLargest = std::numeric_limits<int32_t>::max();
    std::optional<uint64_t> value;
    switch (AsciiUpper(suffix.front())) {
    case L'H':
        value = ReadDigits(suffix.substr(1), 16, kLargest);
        break;
    case L'O':
        value = ReadDigits(suffix.substr(1), 8, kLargest);
        break;
    default:
        value = ReadDigits(suffix, 10, kLargest);
        break;
    }
    return value ? static_cast<int32_t>(*value) : kNoImage;
}

bool IsCaptionedSeparator(std::wstring_view caption) {
    if (caption.size() < kSeparatorMarker.size()) {
        return false;
    }
    for (size_t i = 0; i < kSeparatorMarker.size(); ++i) {
        if (AsciiUpper(caption[i]) != kSeparatorMarker[i]) {
            return false;
        }
    }
    return true;
}
