#include "util/ErrorReport.h"

#include <windows.h>

#include <climits>
#include <cwchar>
#include <iterator>

#include "core/AppError.h"

namespace {

// Invalid UTF-8 comes out as replacement characters rather than being lost.
void AppendUtf8(std::wstring& out, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return;
    }
    const int length = static_cast<int>(text.size());
    const int count = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (count <= 0) {
        return;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(count));
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data() + start, count);
}

} // namespace

std::wstring FormatCaughtError(const std::exception& error, std::string_view where) {
    std::wstring line;
    AppendUtf8(line, where);
    line += L": ";
    if (const auto* appError = dynamic_cast<const AppError*>(&error)) {
        wchar_t number[16]{};
        std::swprintf(number, std::size(number), L"0x%08X", static_cast<unsigned>(appError->Number()));
        line += number;
        line += L' ';
        AppendUtf8(line, appError->Source());
        line += L' ';
        AppendUtf8(line, appError->Description());
    } else {
        AppendUtf8(line, error.what());
    }
    return line;
}

void ReportCaughtError(const std::exception& error, std::string_view where) noexcept {
    try {
        std::wstring line = FormatCaughtError(error, where);
        line += L'\n';
        ::OutputDebugStringW(line.c_str());
    } catch (const std::exception&) {
        // Only allocation can fail above.
        ::OutputDebugStringW(L"An error was caught; there was no memory to describe it.\n");
    }
}
