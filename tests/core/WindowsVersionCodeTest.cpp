#include "core/WindowsVersionCode.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsVersionCodeTest, MapsPlatformAndVersion) {
    struct Case {
        unsigned platform, major, minor;
        int expected;
    };
    const Case cases[] = {
        {PlatformWin32s, 1, 0, 1},
        {PlatformCE, 4, 0, 2},
        {PlatformWindows9x, 4, 0, 3},
        {PlatformWindows9x, 4, 10, 4},
        {PlatformWindows9x, 4, 11, 5},
        {PlatformWindows9x, 4, 90, 5},
        {PlatformNT, 3, 51, 6},
        {PlatformNT, 4, 0, 7},
        {PlatformNT, 5, 0, 8},
        {PlatformNT, 5, 1, 9},
        {PlatformNT, 5, 2, 10},
        {PlatformNT, 6, 0, 11},
        {PlatformNT, 10, 0, 11},
        // Combinations the table has no row for.
        {PlatformWindows9x, 4, 1, 0},
        {PlatformWindows9x, 4, 9, 0},
        {PlatformNT, 5, 3, 0},
        {PlatformNT, 5, 99, 0},
        {PlatformNT, 2, 0, 0},
        {PlatformNT, 0, 0, 0},
        {4, 10, 0, 0},
        {0xFFFFFFFFu, 6, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowsVersionCodeFor(c.platform, c.major, c.minor), c.expected)
            << c.platform << " " << c.major << "." << c.minor;
    }
}

} // namespace
