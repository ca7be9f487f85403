// The line a caught error leaves in the debugger output.
#include "util/ErrorReport.h"

#include "core/AppError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ErrorReportTest, NamesTheSiteAndWhatTheErrorCarries) {
    const AppError toolkit(AppError::kToolkitError, "clsRegions.RegionFromBitmap", "no bitmap");
    // UTF-8 texts arrive as the characters they encode.
    const AppError wide(7,
                        "Gr\xC3\xB6\xC3\x9F"
                        "e",
                        "\xE2\x80\x9Cmm\xE2\x80\x9D");
    const std::out_of_range plain("index 9 of 4");
    const struct {
        const std::exception& error;
        const char* where;
        const wchar_t* expected;
    } cases[] = {
        {toolkit, "WindowBase.WindowProc", L"WindowBase.WindowProc: 0x80040001 clsRegions.RegionFromBitmap no bitmap"},
        {wide, "cUniTimer.TimerProc", L"cUniTimer.TimerProc: 0x00000007 Gr\u00F6\u00DFe \u201Cmm\u201D"},
        {plain, "MSubclass.Dispatch", L"MSubclass.Dispatch: index 9 of 4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatCaughtError(c.error, c.where), c.expected) << c.where;
        ReportCaughtError(c.error, c.where); // reaches the debugger output without throwing
    }
}

} // namespace
