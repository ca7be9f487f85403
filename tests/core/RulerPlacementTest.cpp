#include "core/RulerPlacement.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

std::ostream& operator<<(std::ostream& out, const ScreenRect& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr int kBar = 40;
constexpr int kMinimum = 200;

const std::vector<MonitorArea> kOneScreen{{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}}};
const std::vector<MonitorArea> kSmallScreen{{{0, 0, 800, 600}, {0, 0, 800, 600}}};
const std::vector<MonitorArea> kTaskBar{{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}};
// A monitor left of the primary one, at negative coordinates, with a task bar of its own.
const std::vector<MonitorArea> kLeftOfPrimary{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                                              {{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}}};
const std::vector<MonitorArea> kPrimaryOnly{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}};

ScreenRect Union(const std::vector<MonitorArea>& monitors) {
    ScreenRect u = monitors.front().monitor;
    for (const MonitorArea& m : monitors) {
        u = {std::min(u.left, m.monitor.left), std::min(u.top, m.monitor.top), std::max(u.right, m.monitor.right),
             std::max(u.bottom, m.monitor.bottom)};
    }
    return u;
}

bool Inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The stored values as the ruler loads them: corrected, cut to the screens, brought onto one.
TEST(RulerPlacementTest, LoadCorrectsCutsAndBringsTheRulerOntoAScreen) {
    struct Case {
        const char* what;
        StoredPlace stored;
        const std::vector<MonitorArea>& monitors;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"defaults load as they are", {50, 50, 430, 330}, kOneScreen, {50, 50, 480, 380}},
        {"negative edges become 0, small sizes 200", {-300, -5, 150, 199}, kOneScreen, {0, 0, 200, 200}},
        {"off the right: moved left until it fits", {5000, 100, 430, 330}, kOneScreen, {850, 100, 1280, 430}},
        {"one pixel off the right", {1281, 50, 430, 330}, kOneScreen, {850, 50, 1280, 380}},
        {"only the cut-out corner on screen", {1270, 1000, 430, 330}, kOneScreen, {850, 694, 1280, 1024}},
        {"part of the corner's kept half on screen stays",
         {1240, 1000, 430, 330},
         kOneScreen,
         {1240, 1000, 1670, 1330}},
        {"a few rows of the top bar on screen stay", {1000, 1020, 430, 330}, kOneScreen, {1000, 1020, 1430, 1350}},
        {"saved on 3840x2160, started on 800x600", {3000, 1800, 1000, 800}, kSmallScreen, {0, 0, 800, 600}},
        {"saved on 3840x2160 with a small ruler", {2000, 1000, 430, 330}, kSmallScreen, {370, 270, 800, 600}},
        {"20000 square is cut to the screen", {0, 0, 20000, 20000}, kOneScreen, {0, 0, 1280, 1024}},
        {"32767 square is cut to the screen", {0, 0, 32767, 32767}, kOneScreen, {0, 0, 1280, 1024}},
        {"cut to the screen, its place kept while the bars show",
         {50, 50, 20000, 20000},
         kOneScreen,
         {50, 50, 1330, 1074}},
        {"off screen and taller than the work area", {5000, 100, 1280, 1024}, kTaskBar, {0, 0, 1280, 984}},
        {"a place on a second monitor", {1500, 300, 430, 330}, kLeftOfPrimary, {1500, 300, 1930, 630}},
        {"negative edges become 0 even with a monitor there",
         {-700, 100, 430, 330},
         kLeftOfPrimary,
         {0, 100, 430, 430}},
        {"the virtual screen spans both monitors", {0, 0, 5000, 5000}, kLeftOfPrimary, {0, 0, 3200, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect placed = LoadedRulerRect(c.stored, Union(c.monitors), c.monitors, kBar, kMinimum);
        EXPECT_EQ(placed, c.expected);
        EXPECT_TRUE(RulerIsReachable(placed, c.monitors, kBar));
    }
}

TEST(RulerPlacementTest, AnUnreachableRulerGoesToTheNearestWorkAreaWithItsTopBarInView) {
    struct Case {
        const char* what;
        ScreenRect ruler;
        const std::vector<MonitorArea>& monitors;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"far left of the monitor at negative coordinates",
         {-3000, 100, -2570, 430},
         kLeftOfPrimary,
         {-1280, 100, -850, 430}},
        {"below the monitor at negative coordinates, into its work area",
         {-700, 1500, -270, 1830},
         kLeftOfPrimary,
         {-700, 654, -270, 984}},
        {"on the left monitor: stays", {-700, 900, -270, 1230}, kLeftOfPrimary, {-700, 900, -270, 1230}},
        {"its monitor gone: onto the primary one", {-700, 900, -270, 1230}, kPrimaryOnly, {0, 710, 430, 1040}},
        {"above every screen", {300, -2000, 730, -1670}, kOneScreen, {300, 0, 730, 330}},
        {"just above the top", {300, -330, 730, 0}, kOneScreen, {300, 0, 730, 330}},
        {"a 40 x 40 ruler shows only its corner: reachable", {100, 100, 140, 140}, kOneScreen, {100, 100, 140, 140}},
        {"a 40 x 40 ruler off screen comes back whole", {-500, -500, -460, -460}, kOneScreen, {0, 0, 40, 40}},
        {"no monitors known: left alone", {5000, 5000, 5430, 5330}, {}, {5000, 5000, 5430, 5330}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect placed = KeepRulerReachable(c.ruler, c.monitors, kBar);
        EXPECT_EQ(placed, c.expected);
        if (placed != c.ruler) {
            // Moved: its top bar lies wholly in the work area of a monitor.
            const ScreenRect topBar{placed.left + kBar, placed.top, placed.right, placed.top + kBar};
            bool fully = false;
            for (const MonitorArea& m : c.monitors) {
                fully = fully || Inside(topBar, m.work);
            }
            EXPECT_TRUE(fully) << placed;
            EXPECT_EQ(placed.width(), std::min(c.ruler.width(), 1920));
        }
    }
}

TEST(RulerPlacementTest, ThickerBarsAndTheNearestMonitor) {
    // At 144 dots per inch the bars are 60 pixels and the corner square's cut-out half is larger: the
    // same corner of a ruler that is reachable with 40-pixel bars shows only its cut-out half.
    const ScreenRect ruler{1250, 1000, 1680, 1330};
    EXPECT_TRUE(RulerIsReachable(ruler, kOneScreen, 40));
    EXPECT_FALSE(RulerIsReachable(ruler, kOneScreen, 60));
    EXPECT_EQ(KeepRulerReachable(ruler, kOneScreen, 40), ruler);
    EXPECT_EQ(KeepRulerReachable(ruler, kOneScreen, 60), (ScreenRect{850, 694, 1280, 1024}));

    // Nearest: most overlap first, else the least distance; -1 without monitors.
    EXPECT_EQ(NearestMonitor({-10, 0, 100, 100}, kLeftOfPrimary), 0);
    EXPECT_EQ(NearestMonitor({-100, 0, 10, 100}, kLeftOfPrimary), 1);
    EXPECT_EQ(NearestMonitor({-2000, 2000, -1900, 2100}, kLeftOfPrimary), 1);
    EXPECT_EQ(NearestMonitor({2000, 2000, 2100, 2100}, kLeftOfPrimary), 0);
    EXPECT_EQ(NearestMonitor({0, 0, 10, 10}, {}), -1);
}

} // namespace
