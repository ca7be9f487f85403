#pragma once
// What the fuzz entry points share: a check that stops the run with the failed condition (libFuzzer
// then saves the input as a crash), and ways to read an input as text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzCheckFailed(#condition, __FILE__, __LINE__))

// For code that is not under test and gives the fuzzer nothing to steer by (a check's own bookkeeping,
// such as coverage grids and expected results worked out pixel by pixel; turning the input into text;
// the stand-in code page): such a function gets no coverage instrumentation, whose callbacks on every
// comparison would only slow each run down, and is never inlined, so that it stays without.
// AddressSanitizer and UBSan still check it. FUZZ_FLATTEN, beside it, inlines what the function calls
// into it, so that none of that code keeps instrumentation of its own either.
#if defined(__clang__)
#define FUZZ_NO_FEEDBACK __attribute__((noinline, no_sanitize("coverage")))
#else
#define FUZZ_NO_FEEDBACK
#endif
#define FUZZ_FLATTEN __attribute__((flatten))

// One character per byte: the syntax characters ("|", TAB, "H", "=") are then one byte each, which
// makes them easy for the fuzzer to find.
FUZZ_NO_FEEDBACK inline std::wstring WidenBytes(std::span<const uint8_t> bytes) {
    return std::wstring(bytes.begin(), bytes.end());
}
