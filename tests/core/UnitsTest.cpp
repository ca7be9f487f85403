#include "core/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(UnitsTest, CurrentUnitTakesTheFirstCheckedInFixedOrder) {
    struct Case {
        UnitChecks checks;
        ScaleUnit expected;
    };
    const Case cases[] = {
        {{}, ScaleUnit::Pixels},
        {{.points = true}, ScaleUnit::Points},
        {{.points = true, .inches = true}, ScaleUnit::Points},
        {{.inches = true, .millimeters = true}, ScaleUnit::Inches},
        {{.centimeters = true, .millimeters = true}, ScaleUnit::Centimeters},
        {{.millimeters = true}, ScaleUnit::Millimeters},
        {{true, true, true, true}, ScaleUnit::Points},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CurrentUnit(c.checks), c.expected) << "case " << (&c - cases);
    }
}

TEST(UnitsTest, SuffixAndLabelledStepPerUnit) {
    struct Case {
        ScaleUnit unit;
        int code;
        std::wstring suffix;
        double step;
    };
    const Case cases[] = {
        {ScaleUnit::Points, 2, L"pt", 100},    {ScaleUnit::Pixels, 3, L"px", 100},     {ScaleUnit::Inches, 5, L"in", 1},
        {ScaleUnit::Centimeters, 7, L"cm", 1}, {ScaleUnit::Millimeters, 6, L"mm", 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int>(c.unit), c.code);
        EXPECT_EQ(UnitSuffix(c.unit), c.suffix);
        EXPECT_EQ(LabelledStep(c.unit), c.step);
    }
}

TEST(UnitsTest, ConversionFollowsTheAxisResolution) {
    struct Case {
        ScaleUnit unit;
        double ppi;
        double pixels;
        float units;
    };
    const Case cases[] = {
        {ScaleUnit::Inches, 96, 96, 1.0f},       {ScaleUnit::Points, 96, 96, 72.0f},
        {ScaleUnit::Centimeters, 96, 96, 2.54f}, {ScaleUnit::Millimeters, 96, 96, 25.4f},
        {ScaleUnit::Inches, 120, 96, 0.8f},      {ScaleUnit::Centimeters, 144, 37.795275590551178, 0.6666667f},
        {ScaleUnit::Pixels, 96, 123.5, 123.5f},  {ScaleUnit::Pixels, 0, 123.5, 123.5f}, // resolution ignored
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(PixelsToUnit(c.pixels, c.unit, c.ppi), c.units) << UnitSuffix(c.unit) << " at " << c.ppi;
        EXPECT_NEAR(UnitToPixels(c.units, c.unit, c.ppi), c.pixels, 1e-4) << UnitSuffix(c.unit) << " at " << c.ppi;
    }
    EXPECT_NEAR(UnitToPixels(1, ScaleUnit::Centimeters, 96), 37.795, 1e-3);
    EXPECT_NEAR(UnitToPixels(1, ScaleUnit::Millimeters, 96), 3.7795, 1e-4);
    EXPECT_NEAR(UnitToPixels(1, ScaleUnit::Points, 96), 1.3333, 1e-4);
}

TEST(UnitsTest, ReadoutShowsTheMeasuredSizeLessTheBars) {
    struct Case {
        int width, height;
        ScaleUnit unit;
        double ppiX, ppiY;
        wchar_t separator;
        std::wstring expected;
    };
    const Case cases[] = {
        {430, 330, ScaleUnit::Pixels, 96, 96, L'.', L"390.00x290.00 px"},
        {430, 330, ScaleUnit::Pixels, 96, 96, L',', L"390,00x290,00 px"},
        {40, 40, ScaleUnit::Pixels, 96, 96, L'.', L"0.00x0.00 px"},
        {840, 640, ScaleUnit::Pixels, 144, 144, L'.', L"800.00x600.00 px"},
        {430, 330, ScaleUnit::Centimeters, 96, 96, L',', L"10,32x7,67 cm"},
        {430, 330, ScaleUnit::Millimeters, 96, 96, L'.', L"103.19x76.73 mm"},
        {430, 330, ScaleUnit::Points, 96, 96, L'.', L"292.50x217.50 pt"},
        // Each side uses its own axis's resolution.
        {136, 160, ScaleUnit::Inches, 96, 120, L'.', L"1.00x1.00 in"},
        // A window narrower than the bar gives a negative measure rather than garbage.
        {30, 40, ScaleUnit::Pixels, 96, 96, L'.', L"-10.00x0.00 px"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadoutText(c.width, c.height, c.unit, c.ppiX, c.ppiY, c.separator), c.expected);
    }
}

// On a monitor of more dots per inch the bars are thicker: the scale starts after them and the readout
// leaves them out, while both keep counting screen pixels.
TEST(UnitsTest, ThickerBarsStartTheScaleLaterAndAreLeftOutOfTheReadout) {
    struct Case {
        int dpi, bar;
        std::wstring readout;
    };
    const Case cases[] = {{96, 40, L"390.00x290.00 px"},
                          {120, 50, L"380.00x280.00 px"},
                          {144, 60, L"370.00x270.00 px"},
                          {192, 80, L"350.00x250.00 px"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ReadoutText(430, 330, ScaleUnit::Pixels, c.dpi, c.dpi, L'.', c.bar), c.readout) << c.dpi;
        const std::vector<Tick> ticks = WalkScale(ScaleUnit::Pixels, 430, c.dpi, c.bar);
        ASSERT_EQ(ticks.size(), 44u) << c.dpi;
        EXPECT_EQ(ticks[0].position, c.bar);
        EXPECT_EQ(ticks[10].position, c.bar + 100) << "a hundred screen pixels on at any resolution";
    }
    // An inch is the monitor's inch: 144 pixels at 144 dots per inch, after the 60-pixel bar.
    EXPECT_EQ(ReadoutText(204, 348, ScaleUnit::Inches, 144, 144, L'.', 60), L"1.00x2.00 in");
    EXPECT_EQ(WalkScale(ScaleUnit::Inches, 204, 144, 60)[10].position, 204);
}

TEST(UnitsTest, LabelsAreWholeNumbers) {
    struct Case {
        double value;
        std::wstring expected;
    };
    const Case cases[] = {
        {0, L"0"},      {0.9999999999999999, L"1"},  {2.0000000000000004, L"2"}, {100, L"100"}, {1300, L"1300"},
        {-1e-17, L"0"}, {29.999999999999986, L"30"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLabel(c.value), c.expected) << c.value;
    }
}

// Centimetres at 96 ppi: the labelled ticks stand about 37.8 pixels apart, with nine unlabelled ticks
// between neighbours of which the fifth is medium.
TEST(UnitsTest, CentimetreScaleCyclesEveryTenTicks) {
    const std::vector<Tick> ticks = WalkScale(ScaleUnit::Centimeters, 430, 96);
    ASSERT_GE(ticks.size(), 31u);

    for (size_t k = 0; k < ticks.size(); ++k) {
        const TickKind expected = k % 10 == 0 ? TickKind::Major : k % 10 == 5 ? TickKind::Medium : TickKind::Minor;
        EXPECT_EQ(ticks[k].kind, expected) << "tick " << k;
        EXPECT_EQ(ticks[k].position, static_cast<int>(std::lrint(ticks[k].offset + 40.0f))) << "tick " << k;
    }
    EXPECT_EQ(ticks[0].position, 40);
    EXPECT_EQ(ticks[10].position, 78);
    EXPECT_EQ(ticks[20].position, 116);
    EXPECT_EQ(ticks[30].position, 153);
    EXPECT_NEAR(ticks[10].offset - ticks[0].offset, 37.8, 0.01);
    EXPECT_NEAR(ticks[20].offset - ticks[10].offset, 37.8, 0.01);

    // Values come from repeated addition of 0.1, so the first label's value falls just short of 1
    // and still reads "1".
    EXPECT_LT(ticks[10].value, 1.0);
    EXPECT_EQ(FormatLabel(ticks[10].value), L"1");
    EXPECT_EQ(FormatLabel(ticks[20].value), L"2");
}

TEST(UnitsTest, WalkRunsOverTheWholeLengthBarIncluded) {
    // 430 px: values 0, 10, ..., 430 -- the last ticks lie beyond the canvas and are clipped there.
    const std::vector<Tick> pixels = WalkScale(ScaleUnit::Pixels, 430, 96);
    ASSERT_EQ(pixels.size(), 44u);
    EXPECT_EQ(pixels.back().value, 430);
    EXPECT_EQ(pixels.back().position, 470);
    EXPECT_EQ(pixels[5].kind, TickKind::Medium);
    EXPECT_EQ(pixels[40].kind, TickKind::Major);
    EXPECT_EQ(FormatLabel(pixels[40].value), L"400");

    // One inch of canvas: the tenth addition lands just below 1.0 and is still walked.
    const std::vector<Tick> inch = WalkScale(ScaleUnit::Inches, 96, 96);
    ASSERT_EQ(inch.size(), 11u);
    EXPECT_EQ(inch.back().kind, TickKind::Major);
    EXPECT_EQ(inch.back().position, 136);
}

TEST(UnitsTest, PixelScaleIgnoresResolutionOthersSpreadWithIt) {
    const auto positions = [](ScaleUnit unit, double ppi) {
        std::vector<int> result;
        for (const Tick& t : WalkScale(unit, 600, ppi)) {
            result.push_back(t.position);
        }
        return result;
    };
    EXPECT_EQ(positions(ScaleUnit::Pixels, 96), positions(ScaleUnit::Pixels, 144));

    const std::vector<Tick> at96 = WalkScale(ScaleUnit::Millimeters, 600, 96);
    const std::vector<Tick> at144 = WalkScale(ScaleUnit::Millimeters, 600, 144);
    EXPECT_NEAR(at96[10].offset, 37.795, 1e-3);
    EXPECT_NEAR(at144[10].offset, 56.693, 1e-3);
    EXPECT_GT(at96.size(), at144.size()); // the same canvas holds fewer millimetres at higher resolution
}

TEST(UnitsTest, WalkWithoutAUsableResolutionGivesNoTicks) {
    EXPECT_TRUE(WalkScale(ScaleUnit::Centimeters, 430, 0).empty());
    EXPECT_TRUE(WalkScale(ScaleUnit::Points, 430, -96).empty());
    EXPECT_TRUE(WalkScale(ScaleUnit::Pixels, -1, 96).empty());
    EXPECT_EQ(WalkScale(ScaleUnit::Pixels, 0, 0).size(), 1u); // position 0 only
}

} // namespace
