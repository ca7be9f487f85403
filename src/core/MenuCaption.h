#pragma once
// The syntax of owner-drawn menu captions: "[SEP]" at the start marks a captioned separator, a "|"
// suffix names a picture of the menu's image list, and a TAB separates the shortcut text:
// "Open|H0A<TAB>Ctrl+O" shows "Open" with the shortcut "Ctrl+O" and picture 10.
#include <cstdint>
#include <string>
#include <string_view>

// The caption up to its last TAB (all of it without one), and the text after the last TAB ("" without).
[[nodiscard]] std::wstring_view CaptionPart(std::wstring_view caption);
[[nodiscard]] std::wstring_view ShortcutPart(std::wstring_view caption);

// Without a leading "[SEP]" (any case), then cut before the last TAB, then before the last "|".
[[nodiscard]] std::wstring DisplayCaption(std::wstring_view text);

// The picture index after the last "|" of the caption part ("&H"/"&O" radix forms: "H0A" is 10);
// -1 when there is no "|". The result is -1 or an index of 0 and up.
// The suffix, without spaces around it, is read whole: "H" or "h" then hexadecimal digits, "O" or "o"
// then octal digits, or decimal digits ("7" is 7); leading zeros are allowed. Anything else is -1 (no
// picture): an empty suffix, a sign, junk anywhere ("H0Az", "12px"), a radix letter without digits,
// digits of the wrong radix ("O8"), and a value above 2147483647 (so also "HFFFFFFFF", which a 32-bit
// hexadecimal literal would read as -1, and "H80000000").
[[nodiscard]] int32_t ImageIndexOf(std::wstring_view caption);

// The caption begins with "[SEP]", compared without regard to case.
[[nodiscard]] bool IsCaptionedSeparator(std::wstring_view caption);
