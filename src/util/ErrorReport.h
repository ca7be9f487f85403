#pragma once
// What a window procedure, timer or callback does with an error it catches: it cannot let the error
// go on, so it writes it to the debugger output (OutputDebugStringW) before taking its fallback, and
// a failure stays visible to whoever attaches a debugger or a debug-output viewer.
#include <exception>
#include <source_location>
#include <string>
#include <string_view>

// The line ReportCaughtError writes, without the line break: "<where>: <number> <source>
// <description>" for an AppError (the number in hex), "<where>: <what()>" for any other exception.
// Narrow texts are read as UTF-8. May throw std::bad_alloc.
[[nodiscard]] std::wstring FormatCaughtError(const std::exception& error, std::string_view where);

// Writes FormatCaughtError's line to the debugger output. `where` names the catching site
// ("Class.Member"). Never throws: when even the line cannot be made, a fixed text is written.
void ReportCaughtError(const std::exception& error, std::string_view where) noexcept;

// Runs one step of a routine that must go on when a step fails (a drawing, a stored setting, a
// control's part): an error of the step is reported as caught at its call site, and the routine
// continues.
template <typename Step>
void SkipOnError(Step&& step, std::source_location at = std::source_location::current()) noexcept {
    try {
        step();
    } catch (const std::exception& error) {
        ReportCaughtError(error, at.function_name());
    }
}
