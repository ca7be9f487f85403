#pragma once
// A stand-in for the system's ANSI code page in portable tests: ISO 8859-1, where every character up
// to U+00FF is the byte of its code and any other character becomes "?", as a real code page's
// default character does.
#include <string>
#include <string_view>

#include "core/clsBase64.h"

inline std::string ToLatin1(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<uint32_t>(c) <= 0xFF ? static_cast<char>(c) : '?');
    }
    return bytes;
}

inline std::wstring FromLatin1(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(b)));
    }
    return text;
}

inline constexpr AnsiCodePage kLatin1{&ToLatin1, &FromLatin1};
