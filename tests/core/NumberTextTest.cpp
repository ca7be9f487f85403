#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

TEST(NumberTextTest, FormatSingleWritesSevenSignificantDigitsWithoutExponent) {
    struct Case {
        float value;
        wchar_t separator;
        std::wstring expected;
    };
    const Case cases[] = {
        {50, L'.', L"50"},
        {12.5f, L'.', L"12.5"},
        {12.5f, L',', L"12,5"},
        {-300, L',', L"-300"},
        {0, L'.', L"0"},
        {-0.0f, L'.', L"0"},
        {0.1f, L'.', L"0.1"},
        {-0.75f, L',', L"-0,75"},
        {123.4567f, L'.', L"123.4567"},
        {1234567, L'.', L"1234567"},
        {9999999, L'.', L"9999999"},
        {16777216, L'.', L"16777220"},
        {1e-7f, L'.', L"0.0000001"},
        {1.0f / 3.0f, L',', L"0,3333333"},
        {std::numeric_limits<float>::infinity(), L'.', L""},
        {std::numeric_limits<float>::quiet_NaN(), L'.', L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSingle(c.value, c.separator), c.expected) << c.value;
    }
}

TEST(NumberTextTest, ParseLocaleNumberAcceptsSignDigitsAndSeparator) {
    struct Case {
        std::wstring text;
        wchar_t separator;
        double expected;
    };
    const Case cases[] = {
        {L"50", L'.', 50},       {L"  50\t ", L'.', 50},
        {L"-12,5", L',', -12.5}, {L"+7", L'.', 7},
        {L"007", L'.', 7},       {L",5", L',', 0.5},
        {L"5.", L'.', 5},        {L"-0", L'.', 0},
        {L"3.25", L'.', 3.25},   {L"1\u066B5", L'\u066B', 1.5}, // a separator outside ASCII
    };
    for (const Case& c : cases) {
        const std::optional<double> value = ParseLocaleNumber(c.text, c.separator);
        ASSERT_TRUE(value.has_value()) << "'" << std::string(c.text.begin(), c.text.end()) << "'";
        EXPECT_EQ(*value, c.expected);
    }
}

TEST(NumberTextTest, ParseLocaleNumberRejectsEverythingElse) {
    struct Case {
        std::wstring text;
        wchar_t separator;
    };
    const Case cases[] = {
        {L"", L'.'},
        {L"   ", L'.'},
        {L"abc", L'.'},
        {L"1e", L'.'},
        {L"1e5", L'.'},
        {L"12abc", L'.'},
        {L"inf", L'.'},
        {L"-inf", L'.'},
        {L"nan", L'.'},
        {L"-", L'.'},
        {L",", L','},
        {L"+", L','},
        {L"1.5", L','},
        {L"1,5", L'.'},
        {L"1 000", L'.'},
        {L"--5", L'.'},
        {L"+-5", L'.'},
        {L"5-", L'.'},
        {L"0x10", L'.'},
        {L"1,2,3", L','},
        {L"- 5", L'.'},
        {L"\u0661", L'.'},                                    // a digit outside ASCII
        {std::wstring(L"1") + std::wstring(400, L'0'), L'.'}, // beyond a double
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseLocaleNumber(c.text, c.separator).has_value())
            << "'" << std::string(c.text.begin(), c.text.end()) << "'";
    }
}

TEST(NumberTextTest, ParseSettingIntRoundsAndRejectsOutOfRange) {
    struct Case {
        std::wstring text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {L"430", 430},
        {L"-50", -50},
        {L"32767", 32767},
        {L"-32768", -32768},
        {L"32768", std::nullopt},
        {L"-32769", std::nullopt},
        {L"32767,4", 32767},
        {L"32767,5", std::nullopt},
        {L"2,5", 2},
        {L"3,5", 4},
        {L"-0,4", 0},
        {L"abc", std::nullopt},
        {L"", std::nullopt},
        {L"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSettingInt(c.text, L','), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

// Whatever the store writes for a window coordinate or size, it reads back unchanged.
TEST(NumberTextTest, EveryCoordinateRoundTrips) {
    for (const wchar_t separator : {L'.', L','}) {
        for (int v = -32768; v <= 32767; ++v) {
            const std::wstring text = FormatSingle(static_cast<float>(v), separator);
            const std::optional<int> back = ParseSettingInt(text, separator);
            ASSERT_TRUE(back.has_value()) << v;
            ASSERT_EQ(*back, v);
        }
    }
    for (const float v : {12.5f, -0.75f, 0.1f, 1234.567f, 3.4e38f, 1.2e-38f}) {
        const std::optional<double> back = ParseLocaleNumber(FormatSingle(v, L','), L',');
        ASSERT_TRUE(back.has_value()) << v;
        EXPECT_EQ(static_cast<float>(*back), v);
    }
}

} // namespace
