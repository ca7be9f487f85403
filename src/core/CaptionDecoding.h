#pragma once
// The decoders of Unicode menu captions: captions carried as UTF-8 bytes, one byte per character of a
// plain string, and captions stored in the "0X" form ("0X", the Base64 of the caption's UTF-16LE
// bytes, then the two-digit checksum of that Base64 text). Plain captions pass through unchanged.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/clsBase64.h"

// Decodes UTF-8 leniently, from the first byte:
// - a byte below 0x80 is that character;
// - a lead byte C2 .. DF takes one more byte, E0 .. EF and F5 .. FF two more, F0 .. F4 three more.
//   Continuation bytes are not checked (overlong forms are read as they come). A four-byte sequence
//   gives its character as a surrogate pair (U+FFFD beyond U+10FFFF);
// - a stray byte 80 .. C1 is the character of that code (C0 gives U+00C0).
// A sequence that runs past the end stops the decoding: the text decoded so far is returned.
[[nodiscard]] std::wstring Utf8ToString(std::span<const uint8_t> bytes);

// Text -> the bytes of the system's ANSI code page, one byte per character where it has one.
using AnsiEncoder = std::string (*)(std::wstring_view);

// UTF-8 bytes carried one per character in a plain string, back to Unicode: the text in the ANSI code
// page, decoded by Utf8ToString. An empty text gives an empty text. Throws AppError when toAnsi is null.
[[nodiscard]] std::wstring AnsiUtf8ToString(std::wstring_view text, AnsiEncoder toAnsi);

// The XOR of all bytes of the text's UTF-16LE code units, as two upper-case hexadecimal digits
// ("A" gives "41", "AA" and "" give "00").
[[nodiscard]] std::wstring XorChecksumHex(std::wstring_view text);

// True for the "0X" form: more than three characters, beginning with "0X" (exact case), the last two
// equal to XorChecksumHex of the characters between.
[[nodiscard]] bool IsEncodedUniString(std::wstring_view text);

// A text in the "0X" form becomes the Unicode text that its Base64 part holds (the Base64 part taken in
// the ANSI code page). Any other text, and one whose Base64 part does not decode (its length without
// blanks not a multiple of four, or no toAnsi), comes back unchanged as a whole.
[[nodiscard]] std::wstring DecodeUniString(std::wstring_view text, AnsiEncoder toAnsi);
