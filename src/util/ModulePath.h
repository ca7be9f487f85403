#pragma once
// Where the running program lives, and the names its errors carry.
#include <string>
#include <string_view>

// The full path of the running executable, however long; empty if the system cannot say.
[[nodiscard]] std::wstring ModuleFileName();

// "<executable name without extension>.<member>": the source an error of the program names, such as
// "Trelvik.WindowProc".
[[nodiscard]] std::string ProgramErrorSource(std::string_view member);

// The text in UTF-8 (error descriptions and sources are narrow).
[[nodiscard]] std::string Utf8(std::wstring_view text);
