#pragma once
// The user's number format, read afresh on each call so a change in the control panel applies.

// The decimal separator of the user's locale (the first character of LOCALE_SDECIMAL), '.' if unknown.
[[nodiscard]] wchar_t UserDecimalSeparator() noexcept;
