#pragma once
// Where the running program lives.
#include <string>

// The full path of the running executable, however long; empty if the system cannot say.
[[nodiscard]] std::wstring ModuleFileName();
