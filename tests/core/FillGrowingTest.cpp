#include "core/FillGrowing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A source whose length changes from one look to the next, as a value being rewritten does.
struct Case {
    const char* name;
    size_t firstGuess;
    std::vector<size_t> lengths; // the source's length at each fill; 0 stands for a failing fill
    bool filled;
    size_t calls;
    std::vector<size_t> sizesOffered;
};

TEST(FillGrowing, GrowsUntilTheSourceFitsAndGivesUpOnFailureOrEndlessGrowth) {
    const Case cases[] = {
        {"fits at once", 10, {4}, true, 1, {10}},
        {"a failing fill", 10, {0}, false, 1, {10}},
        {"a zero guess still offers room", 0, {1}, true, 1, {1}},
        {"grows to the size asked for", 4, {100, 100}, true, 2, {4, 100}},
        {"grows at least twofold", 40, {41, 41}, true, 2, {40, 80}},
        {"the source grew meanwhile", 4, {10, 30, 30}, true, 3, {4, 10, 30}},
        {"the source shrank meanwhile", 20, {5}, true, 1, {20}},
        {"fails after growing", 4, {10, 0}, false, 2, {4, 10}},
        {"gives up on a source that outgrows every buffer",
         1,
         {2, 4, 8, 16, 32, 64, 128, 256, 512},
         false,
         kMaxFillAttempts,
         {1, 2, 4, 8, 16, 32, 64, 128}},
    };
    for (const Case& c : cases) {
        std::vector<char> buffer;
        std::vector<size_t> offered;
        size_t call = 0;
        const bool filled = FillGrowing(buffer, c.firstGuess, [&](std::vector<char>& b) -> std::optional<size_t> {
            offered.push_back(b.size());
            const size_t length = c.lengths.at(call++);
            if (length == 0) {
                return std::nullopt;
            }
            std::fill_n(b.begin(), std::min(length, b.size()), 'x');
            return length;
        });
        EXPECT_EQ(filled, c.filled) << c.name;
        EXPECT_EQ(call, c.calls) << c.name;
        EXPECT_EQ(offered, c.sizesOffered) << c.name;
        if (c.filled) {
            EXPECT_EQ(buffer, std::vector<char>(c.lengths.at(call - 1), 'x')) << c.name << ": cut to what was filled";
        }
    }
}

} // namespace
