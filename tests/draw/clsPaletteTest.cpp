// Palettes: the standard tables, the search for the closest entry, and palettes taken from DIBs.
#include "draw/clsPalette.h"

#include <gtest/gtest.h>

#include <string>

#include "PictureFixtures.h"
#include "core/AppError.h"
#include "draw/clsDIBSection.h"

namespace {

struct Entry {
    int32_t index;
    int red, green, blue;
};

void ExpectEntries(const clsPalette& palette, std::initializer_list<Entry> entries) {
    for (const Entry& e : entries) {
        EXPECT_EQ(palette.Red(e.index), e.red) << "entry " << e.index;
        EXPECT_EQ(palette.Green(e.index), e.green) << "entry " << e.index;
        EXPECT_EQ(palette.Blue(e.index), e.blue) << "entry " << e.index;
    }
}

TEST(clsPalette, StandardTables) {
    clsPalette palette;
    EXPECT_EQ(palette.Count(), 0);

    palette.CreateMono2();
    EXPECT_EQ(palette.Count(), 2);
    ExpectEntries(palette, {{1, 0, 0, 0}, {2, 255, 255, 255}});

    palette.Create16();
    EXPECT_EQ(palette.Count(), 16);
    ExpectEntries(palette, {{1, 0, 0, 0},
                            {2, 128, 0, 0},
                            {3, 0, 128, 0},
                            {4, 128, 128, 0},
                            {5, 0, 0, 128},
                            {6, 128, 0, 128},
                            {7, 0, 128, 128},
                            {8, 192, 192, 192},
                            {9, 128, 128, 128},
                            {10, 255, 0, 0},
                            {11, 0, 255, 0},
                            {12, 255, 255, 0},
                            {13, 0, 0, 255},
                            {14, 255, 0, 255},
                            {15, 0, 255, 255},
                            {16, 255, 255, 255}});

    // Red varies fastest, blue slowest.
    palette.CreateHalfTone256();
    EXPECT_EQ(palette.Count(), 125);
    ExpectEntries(palette,
                  {{1, 0, 0, 0}, {2, 64, 0, 0}, {5, 255, 0, 0}, {6, 0, 64, 0}, {26, 0, 0, 64}, {125, 255, 255, 255}});

    palette.CreateWebSafe256();
    EXPECT_EQ(palette.Count(), 255);
    ExpectEntries(palette, {{1, 0, 0, 0},         // the dark eight ...
                            {8, 192, 192, 192},   // ... and light grey
                            {9, 51, 0, 0},        // the cube without black, red fastest
                            {13, 0, 51, 0},       // (255, 0, 0) is left out
                            {216, 204, 255, 255}, // the cube ends before white
                            {217, 8, 8, 8},       // the greys
                            {247, 248, 248, 248},
                            {248, 128, 128, 128}, // the bright eight
                            {255, 255, 255, 255}});
}

TEST(clsPalette, ClosestIndex) {
    clsPalette sixteen;
    sixteen.Create16();
    clsPalette ties;
    ties.Add(10, 0, 0);
    ties.Add(0, 10, 0);
    ties.Add(5, 5, 0);
    clsPalette whiteOnly;
    whiteOnly.Add(255, 255, 255);
    const clsPalette empty;
    struct Case {
        const clsPalette* palette;
        int red, green, blue;
        int32_t index;
    };
    const Case cases[] = {
        {&sixteen, 0, 0, 0, 1},        {&sixteen, 250, 5, 5, 10},
        {&sixteen, 255, 255, 255, 16}, {&sixteen, 200, 190, 180, 8},
        {&sixteen, 100, 100, 100, 9},  {&ties, 5, 5, 0, 3}, // exact match wins over earlier close ones
        {&ties, 5, 0, 0, 1},                                // 5 from entries 1 and 3: the first one found
        {&whiteOnly, 0, 0, 0, 0},                           // 765 away is not closer than nothing
        {&whiteOnly, 0, 0, 1, 1},      {&empty, 1, 2, 3, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.palette->ClosestIndex(c.red, c.green, c.blue), c.index)
            << c.red << ", " << c.green << ", " << c.blue;
    }
}

TEST(clsPalette, EntriesAddCloneAndDestroy) {
    clsPalette palette;
    palette.Add(1, 2, 3);
    palette.Add(256 + 4, 5, 6); // cut to the low byte
    EXPECT_EQ(palette.Count(), 2);
    ExpectEntries(palette, {{1, 1, 2, 3}, {2, 4, 5, 6}});
    // Outside 1 .. Count: 0.
    ExpectEntries(palette, {{0, 0, 0, 0}, {3, 0, 0, 0}, {-1, 0, 0, 0}});

    clsPalette copy;
    copy.Create16();
    copy.Clone(palette);
    EXPECT_EQ(copy.Count(), 2);
    ExpectEntries(copy, {{2, 4, 5, 6}});
    copy.Clone(copy);
    EXPECT_EQ(copy.Count(), 2);

    palette.Destroy();
    EXPECT_EQ(palette.Count(), 0);
    EXPECT_EQ(copy.Count(), 2);

    uint8_t r = 0, g = 0, b = 0;
    clsPalette::pColorToComponents(static_cast<int32_t>(RGB(10, 20, 30)), r, g, b);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    clsPalette::pColorToComponents(static_cast<int32_t>(0x80000000u | COLOR_HIGHLIGHT), r, g, b);
    EXPECT_EQ(RGB(r, g, b), ::GetSysColor(COLOR_HIGHLIGHT));
}

std::string ErrorOf(const std::function<void()>& call, std::string* source) {
    try {
        call();
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), AppError::kToolkitError);
        *source = e.Source();
        return e.Description();
    }
    return "";
}

TEST(clsPalette, CreateFromDibTakesItsColourTable) {
    clsPalette given;
    given.Add(9, 8, 7);
    clsDIBSection four;
    four.CreateDC(2, 2, 4, &given);
    clsPalette palette;
    palette.CreateFromDib(four);
    EXPECT_EQ(palette.Count(), 16);
    ExpectEntries(palette, {{1, 9, 8, 7}, {2, 0, 0, 0}});

    clsDIBSection deep;
    deep.CreateDC(2, 2, 32);
    std::string source;
    EXPECT_EQ(ErrorOf([&] { palette.CreateFromDib(deep); }, &source), "Cannot create palette!");
    EXPECT_EQ(source, "clsPalette.CreateFromDib");
    EXPECT_EQ(palette.Count(), 16); // unchanged
}

TEST(clsPalette, CreateOptimalRepresentsTheDibsColours) {
    // Three colours, each in a block of pixels.
    const UniqueBitmap bitmap = fixtures::MakeBitmap(9, 4, 24, [](int x, int) {
        return x < 3 ? RGB(200, 10, 10) : x < 6 ? RGB(10, 200, 10) : RGB(10, 10, 200);
    });
    clsDIBSection dib;
    dib.CloneFromHBmp(bitmap.get(), 24);

    clsPalette palette;
    palette.CreateOptimal(dib, 16, 8);
    EXPECT_EQ(palette.Count(), 3);
    for (const COLORREF c : {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)}) {
        const int32_t index = palette.ClosestIndex(GetRValue(c), GetGValue(c), GetBValue(c));
        ASSERT_GT(index, 0);
        EXPECT_EQ(RGB(palette.Red(index), palette.Green(index), palette.Blue(index)), c);
    }

    // A reserved colour comes first and counts towards the size. (Two places left for three colours
    // that part at the tree's root: the octree merges them all into one.)
    palette.CreateOptimal(dib, 3, 8, static_cast<int32_t>(RGB(255, 0, 255)));
    ASSERT_EQ(palette.Count(), 2);
    ExpectEntries(palette, {{1, 255, 0, 255}, {2, 73, 73, 73}});

    clsDIBSection deep;
    deep.CreateDC(2, 2, 32);
    std::string source;
    EXPECT_EQ(ErrorOf([&] { palette.CreateOptimal(deep, 16, 8); }, &source), "DIB Must be 24 bpp");
    EXPECT_EQ(source, "clsPalette.CreateOptimal");
}

} // namespace
