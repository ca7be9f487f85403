#include "core/cStringBuilder2.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(cStringBuilder2Test, NewBuilderIsEmpty) {
    const cStringBuilder2 builder;
    EXPECT_EQ(builder.Length(), 0);
    EXPECT_EQ(builder.ToString(), L"");
}

// Pieces of every size class, in an order that makes the tail flush under both limits; each piece
// has its own letter so that a lost, doubled or misplaced piece shows.
TEST(cStringBuilder2Test, ContentIsThePiecesInOrderWhateverTheFlushPoints) {
    const size_t sizes[] = {1, 1023, 1, 1024, 0, 1, 1025, 3000, 5000, 1, 8192, 0, 9000, 1, 2, 0, 1024, 1024};
    cStringBuilder2 builder;
    std::wstring expected;
    wchar_t letter = L'a';
    for (const size_t size : sizes) {
        const std::wstring piece(size, letter);
        builder.Append(piece);
        expected += piece;
        ASSERT_EQ(builder.ToString(), expected) << "after a piece of " << size;
        ASSERT_EQ(builder.Length(), static_cast<int32_t>(expected.size()));
        letter = letter == L'z' ? L'a' : static_cast<wchar_t>(letter + 1);
    }
}

TEST(cStringBuilder2Test, TwoThousandSingleCharacters) {
    cStringBuilder2 builder;
    for (int i = 0; i < 2000; ++i) {
        builder.Append(L"a");
    }
    EXPECT_EQ(builder.ToString(), std::wstring(2000, L'a'));
    EXPECT_EQ(builder.Length(), 2000);
}

TEST(cStringBuilder2Test, AppendWithNewLineAddsCarriageReturnAndLineFeed) {
    cStringBuilder2 builder;
    builder.AppendWithNewLine(L"x");
    EXPECT_EQ(builder.ToString(), L"x\r\n");
    EXPECT_EQ(builder.Length(), 3);
    builder.AppendWithNewLine(L"");
    EXPECT_EQ(builder.ToString(), L"x\r\n\r\n");
}

TEST(cStringBuilder2Test, TheStringReplacesMainTextAndTail) {
    cStringBuilder2 builder;
    builder.Append(std::wstring(2000, L'm'));
    builder.Append(L"tail");
    builder.TheString(L"new");
    EXPECT_EQ(builder.ToString(), L"new");
    builder.Append(L"!");
    EXPECT_EQ(builder.ToString(), L"new!");
}

TEST(cStringBuilder2Test, ReplaceStringReplacesEveryOccurrenceCaseSensitively) {
    struct Case {
        const wchar_t* text;
        const wchar_t* find;
        const wchar_t* replacement;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abab", L"ab", L"c", L"cc"},  {L"abab", L"A", L"c", L"abab"}, // binary comparison
        {L"aaa", L"aa", L"b", L"ba"},                                   // scanned from the first character, no overlaps
        {L"abc", L"b", L"bb", L"abbc"},                                 // the inserted text is not scanned again
        {L"xyx", L"x", L"", L"y"},                                      // replacement may be empty
        {L"abc", L"", L"x", L"abc"},                                    // nothing to find
        {L"", L"a", L"b", L""},         {L"abc", L"abcd", L"x", L"abc"}, // find longer than the text
    };
    for (const Case& c : cases) {
        cStringBuilder2 builder;
        builder.Append(c.text);
        builder.ReplaceString(c.find, c.replacement);
        EXPECT_EQ(builder.ToString(), c.expected) << c.text << " / " << c.find;
    }
}

// A flush puts "a" at the end of the main text and "b" starts the new tail: the match spans both.
TEST(cStringBuilder2Test, ReplaceStringFindsMatchesAcrossMainTextAndTail) {
    cStringBuilder2 builder;
    builder.Append(std::wstring(1024, L'x'));
    builder.Append(L"a");
    builder.Append(L"b");
    builder.ReplaceString(L"ab", L"c");
    EXPECT_EQ(builder.ToString(), std::wstring(1024, L'x') + L"c");
    EXPECT_EQ(builder.Length(), 1025);
}

} // namespace
