#include "core/NumberText.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

std::wstring FormatSingle(float value, wchar_t decimalSeparator) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (value == 0.0f) {
        return L"0";
    }
    // Seven significant digits in scientific form ("-d.dddddde+XX"), then laid out in fixed notation
    // so that the text never carries an exponent the reader would refuse.
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::scientific, 6);
    if (error != std::errc{}) {
        return {};
    }
    const std::string_view scientific(buffer, static_cast<size_t>(end - buffer));
    const bool negative = scientific.front() == '-';
    const std::string_view body = negative ? scientific.substr(1) : scientific;
    const size_t e = body.find('e');
    std::string digits;
    digits += body[0];
    digits += body.substr(2, e - 2);
    int exponent = 0;
    std::string_view exponentText = body.substr(e + 1);
    const bool negativeExponent = exponentText.front() == '-';
    exponentText.remove_prefix(1); // to_chars always writes the exponent's sign
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (negativeExponent) {
        exponent = -exponent;
    }

    std::string integerPart;
    std::string fractionPart;
    if (exponent < 0) {
        integerPart = "0";
        fractionPart = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
        integerPart = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        integerPart = digits.substr(0, static_cast<size_t>(exponent) + 1);
        fractionPart = digits.substr(static_cast<size_t>(exponent) + 1);
    }
    while (!fractionPart.empty() && fractionPart.back() == '0') {
        fractionPart.pop_back();
    }

    std::wstring text;
    if (negative) {
        text += L'-';
    }
    text.append(integerPart.begin(), integerPart.end());
    if (!fractionPart.empty()) {
        text += decimalSeparator;
        text.append(fractionPart.begin(), fractionPart.end());
    }
    return text;
}

std::optional<double> ParseLocaleNumber(std::wstring_view text, wchar_t decimalSeparator) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }

    // Rebuilt as plain ASCII with '.' for from_chars, which ignores the C locale.
    std::string ascii;
    ascii.reserve(text.size());
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        if (text[pos] == L'-') {
            ascii += '-';
        }
        ++pos;
    }
    size_t digitCount = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digitCount) {
        ascii += static_cast<char>(text[pos]);
    }
    if (pos < text.size() && text[pos] == decimalSeparator) {
        ascii += '.';
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++digitCount) {
            ascii += static_cast<char>(text[pos]);
        }
    }
    if (pos != text.size() || digitCount == 0) {
        return std::nullopt;
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc{} || end != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseSettingInt(std::wstring_view text, wchar_t decimalSeparator) {
    const std::optional<double> value = ParseLocaleNumber(text, decimalSeparator);
    if (!value) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}
