#pragma once
// The Latin-1 stand-in for the system's ANSI code page (core/Latin1CodePage.h) as the fuzz entry points
// hand it to the code under test: it is not under test itself, so it runs without coverage feedback.
#include "FuzzCheck.h"
#include "core/Latin1CodePage.h"

FUZZ_NO_FEEDBACK FUZZ_FLATTEN inline std::string FuzzToLatin1(std::wstring_view text) {
    return ToLatin1(text);
}

FUZZ_NO_FEEDBACK FUZZ_FLATTEN inline std::wstring FuzzFromLatin1(std::string_view bytes) {
    return FromLatin1(bytes);
}

inline constexpr AnsiCodePage kFuzzLatin1{&FuzzToLatin1, &FuzzFromLatin1};
