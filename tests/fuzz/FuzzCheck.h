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

// One character per byte: the syntax characters ("|", TAB, "H", "=") are then one byte each, which
// makes them easy for the fuzzer to find.
inline std::wstring WidenBytes(std::span<const uint8_t> bytes) {
    return std::wstring(bytes.begin(), bytes.end());
}
