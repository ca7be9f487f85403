#include "core/MenuCaption.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

TEST(MenuCaptionTest, CaptionAndShortcutPartsSplitAtTheLastTab) {
    const struct {
        const wchar_t* caption;
        const wchar_t* captionPart;
        const wchar_t* shortcutPart;
    } cases[] = {
        {L"Open|H0A\tCtrl+O", L"Open|H0A", L"Ctrl+O"},
        {L"Points", L"Points", L""},
        {L"a\tb\tc", L"a\tb", L"c"},
        {L"Exit\t", L"Exit", L""},
        {L"\tF1", L"", L"F1"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionPart(c.caption), c.captionPart) << c.caption;
        EXPECT_EQ(ShortcutPart(c.caption), c.shortcutPart) << c.caption;
    }
}

TEST(MenuCaptionTest, DisplayCaptionDropsMarkerShortcutAndPictureSuffix) {
    const struct {
        const wchar_t* text;
        const wchar_t* display;
    } cases[] = {
        {L"Open|H0A\tCtrl+O", L"Open"},
        {L"Points", L"Points"},
        {L"[SEP]General", L"General"},
        {L"[sep]General|3", L"General"},
        {L"[SEP]", L""},
        {L"[SEP][SEP]x", L"[SEP]x"}, // one marker only
        {L" [SEP]x", L" [SEP]x"},    // only at the very start
        {L"x|y|z", L"x|y"},          // the last "|" ...
        {L"a|b\tc|d", L"a"},         // ... of the caption part
        {L"Size\tF|2", L"Size"},
        {L"|3", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayCaption(c.text), c.display) << c.text;
    }
}

TEST(MenuCaptionTest, ImageIndexOfReadsTheSuffixWithTheRadixForms) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const struct {
        const wchar_t* caption;
        int32_t index;
    } cases[] = {
        {L"Open|H0A\tCtrl+O", 10},
        {L"Points", -1},
        {L"a\tb|2", -1}, // a "|" in the shortcut part names nothing
        {L"a|1\tb|2", 1},
        {L"a|1|2", 2},
        {L"[SEP]x|3", 3},
        {L"x|h0a", 10},
        {L"x|O17", 15},
        {L"x|o17", 15},
        {L"x|7", 7},
        {L"x|007", 7},
        {L"x|0", 0},
        {L"x| 12 ", 12}, // spaces around the number
        {L"x|H00000000000A", 10},
        {L"x|H7FFFFFFF", kMax},
        {L"x|O17777777777", kMax},
        {L"x|2147483647", kMax},
        // Nothing that is not wholly a number of its radix, nor one above the largest 32-bit integer.
        {L"x|", -1},
        {L"x|   ", -1},
        {L"x|H", -1},
        {L"x|O", -1},
        {L"x|O8", -1},
        {L"x|H0Az", -1},
        {L"x|12px", -1},
        {L"x|1 2", -1},
        {L"x|-1", -1},
        {L"x|+1", -1},
        {L"x|&H0A", -1},
        {L"x|X1", -1},
        {L"x|\uFF11", -1},    // a full-width digit
        {L"x|H80000000", -1}, // a 32-bit literal would read it as negative
        {L"x|HFFFFFFFF", -1},
        {L"x|O37777777777", -1},
        {L"x|H100000000", -1},
        {L"x|O40000000000", -1},
        {L"x|2147483648", -1},
        {L"x|99999999999999999999999999", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImageIndexOf(c.caption), c.index) << c.caption;
    }
}

TEST(MenuCaptionTest, CaptionedSeparatorMarkerIgnoresCase) {
    const struct {
        const wchar_t* caption;
        bool separator;
    } cases[] = {
        {L"[SEP]General", true},   {L"[sep]General", true}, {L"[Sep]", true}, {L"[SEP", false},
        {L" [SEP]General", false}, {L"General", false},     {L"", false},     {L"[S\u0130P]", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCaptionedSeparator(c.caption), c.separator) << c.caption;
    }
}

} // namespace
