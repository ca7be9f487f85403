#pragma once
// Numbers as the settings store keeps them: the text of a single-precision number written with the
// user's decimal separator, and read back with the same separator.
#include <optional>
#include <string>
#include <string_view>

// Up to 7 significant digits, never an exponent, no trailing zeros: 50 -> "50", 12.5 -> "12.5" (or
// "12,5"), -300 -> "-300", 0.1f -> "0.1". Negative zero reads "0". A non-finite value gives an empty
// text, which ParseLocaleNumber rejects, so a reader falls back to its default.
std::wstring FormatSingle(float value, wchar_t decimalSeparator);

// Blanks (spaces, tabs) around the number are ignored; the number itself is an optional sign, digits
// and optionally the separator followed by digits, with at least one digit in all ("5", "-5", "5,25",
// ",5", "5,"). Anything else gives nullopt: an empty text, letters, an exponent, "inf", "nan", a
// grouping character, a '.' when the separator is ',' and a value beyond the range of a double.
std::optional<double> ParseLocaleNumber(std::wstring_view text, wchar_t decimalSeparator);

// ParseLocaleNumber rounded half to even. A value outside [-32768, 32767] gives nullopt: no window
// coordinate or size is that large, so such a stored value is treated as bad.
std::optional<int> ParseSettingInt(std::wstring_view text, wchar_t decimalSeparator);
