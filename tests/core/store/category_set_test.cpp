// The category-set text: written from ticks in item order, read back into ticks, searched for one
// category, and the damaged texts that stop the reading.
#include "core/store/category_set.h"

#include <gtest/gtest.h>

using namespace barqeen::category_set;

namespace {

TEST(CategorySetTest, EncodingFollowsItemOrderNotClickOrIdOrder)
{
    const std::vector<int32_t> ids = {9, 5, 7};
    EXPECT_EQ(Encode(ids, {true, false, true}), "(9)(7)");
    EXPECT_EQ(Encode(ids, {false, true, false}), "(5)");
    EXPECT_EQ(Encode(ids, {false, false, false}), "");
    EXPECT_EQ(Encode({}, {}), "");
    // Two items with the same ID (two categories told apart only by name cannot share one, but
    // the list is taken as it is).
    EXPECT_EQ(Encode({2147483647, -3}, {true, true}), "(2147483647)(-3)");
}

struct DecodeCase {
    const char* text;
    std::vector<size_t> items;
    std::optional<std::string> invalid;
};

TEST(CategorySetTest, DecodingTicksTheFirstItemOfEachTagAndStopsAtABadTag)
{
    const std::vector<int32_t> ids = {9, 5, 7, 5};  // two items carry 5: the first is ticked
    const DecodeCase cases[] = {
        {"", {}, std::nullopt},
        {"(9)(7)", {0, 2}, std::nullopt},
        {"(7)(9)", {2, 0}, std::nullopt},           // tag order does not matter to the ticks
        {"(7)(7)", {2, 2}, std::nullopt},           // a repeated tag ticks the same item
        {"(5)", {1}, std::nullopt},
        {"(42)(9)", {0}, std::nullopt},             // a deleted category ticks nothing
        {"[9]", {}, std::string("")},               // "9]" has no ")": its inside is empty
        {"x9)", {0}, std::nullopt},                 // ...whatever it is
        {"(9)(", {0}, std::string("")},             // a tag without its ")"
        {"(9)(7", {0}, std::string("")},
        {"(9)x", {0}, std::string("")},             // characters after the last ")"
        {"(9)()", {0}, std::string("")},            // an empty inside
        {"(9)(a)(7)", {0}, std::string("a")},       // earlier ticks stay, later tags are not read
        {"(9)( 7)", {0}, std::string(" 7")},
        {"(2147483648)", {}, std::string("2147483648")},  // beyond 32 bits
        {"(-5)(+9)", {0}, std::nullopt},            // signed numbers are numbers
        {"(--5)", {}, std::string("--5")},
        {"(009)", {0}, std::nullopt},
    };
    for (const DecodeCase& c : cases) {
        const Decoded d = Decode(c.text, ids);
        EXPECT_EQ(d.items, c.items) << c.text;
        EXPECT_EQ(d.invalidTag, c.invalid) << c.text;
    }
}

TEST(CategorySetTest, WhatIsWrittenReadsBackToTheSameTicks)
{
    const std::vector<int32_t> ids = {3, 12, 1, 100000};
    for (unsigned mask = 0; mask < 16; ++mask) {
        std::vector<bool> ticked;
        for (size_t i = 0; i < ids.size(); ++i)
            ticked.push_back(mask & (1u << i));
        const Decoded d = Decode(Encode(ids, ticked), ids);
        std::vector<bool> back(ids.size(), false);
        for (size_t item : d.items)
            back[item] = true;
        EXPECT_EQ(back, ticked) << mask;
        EXPECT_FALSE(d.invalidTag);
    }
}

TEST(CategorySetTest, HasCategoryMatchesWholeTagsOnly)
{
    const struct {
        int32_t id;
        const char* text;
        bool has;
    } cases[] = {
        {1, "(11)(21)", false}, {1, "(11)(1)", true}, {1, "(1)", true}, {1, "", false},
        {11, "(1)(1)", false},  {12, "(3)(12)", true}, {3, "(3)(12)", true}, {2, "(12)", false},
        {7, "(7", false},       {-4, "(-4)", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasCategory(c.id, c.text), c.has) << c.id << " in " << c.text;
}

TEST(CategorySetTest, TheMessageNamesTheInsideInReadableText)
{
    EXPECT_EQ(InvalidTagMessage("abc"), "'abc' is not a valid integer value");
    EXPECT_EQ(InvalidTagMessage(""), "'' is not a valid integer value");
    EXPECT_EQ(InvalidTagMessage("\xC8"), "'\xD8\xA8' is not a valid integer value");  // ب in UTF-8
}

}  // namespace
