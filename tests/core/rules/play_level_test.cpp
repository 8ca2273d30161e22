// The level of play: which of the verses for a letter the computer says. The table below has
// verses for ب ending on a rare letter (ظ, which begins one verse of the table) and on a common
// one (ل, which begins forty).
#include "files_fixture.h"
#include "core/rules/turn_rules.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

#include <set>

using namespace barqeen;
using barqeen::test::TempFolder;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

constexpr int kEachEnd = 20;  // verses for ب ending on ظ, and as many ending on ل

class PlayLevelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        const std::string ba = ar("ب"), zah = ar("ظ"), lam = ar("ل");
        for (int i = 0; i < kEachEnd; ++i) {
            add(ar("بيت ينتهي بحرف نادر ") + std::to_string(i), ba, zah);
            add(ar("بيت ينتهي بحرف شائع ") + std::to_string(i), ba, lam);
        }
        for (int i = 0; i < 40; ++i)
            add(ar("لبيت يبدأ بحرف شائع ") + std::to_string(i), lam, ba);
        add(ar("ظبيت يبدأ بحرف نادر"), zah, ba);
    }
    void add(const std::string& text, const std::string& start, const std::string& end)
    {
        store.cdsPoem.appendRecord({Value(), Value(text), Value(), Value(), Value(start), Value(end)});
    }

    // The share of first answers for ب, over many games, that end on the rare letter.
    double rareShare(PlayLevel level, int games)
    {
        TurnRules rules(store.cdsPoem, nullptr);
        rules.setLevel(level);
        int rare = 0;
        for (int game = 0; game < games; ++game) {
            rules.UsedTextIDs.clear();
            rules.setSeed(uint64_t(game) * 7919 + 1);
            std::string verse;
            char next = 0;
            EXPECT_TRUE(rules.PickComputerVerse(ar("ب"), verse, next));
            rare += next == ar("ظ")[0];
        }
        return double(rare) / games;
    }

    TempFolder dir;
    PoemStore store{dir.path()};
};

TEST_F(PlayLevelTest, HardPrefersRareEndLettersAndEasyCommonOnes)
{
    constexpr int kGames = 400;
    const double normal = rareShare(PlayLevel::Normal, kGames);
    const double hard = rareShare(PlayLevel::Hard, kGames);
    const double easy = rareShare(PlayLevel::Easy, kGames);
    EXPECT_NEAR(normal, 0.5, 0.1);  // every verse equally likely: half end on ظ
    EXPECT_GT(hard, normal + 0.3);
    EXPECT_LT(easy, normal - 0.3);
    // A preference, not a rule: the other letters still come up.
    EXPECT_LT(hard, 1.0);
    EXPECT_GT(easy, 0.0);
}

// At every level a game says each verse for the letter once, never one the player has said, and
// the computer is defeated when none is left.
TEST_F(PlayLevelTest, NoLevelRepeatsAndEachIsDefeatedWhenNothingIsLeft)
{
    for (const PlayLevel level : {PlayLevel::Easy, PlayLevel::Normal, PlayLevel::Hard}) {
        SCOPED_TRACE(int(level));
        TurnRules rules(store.cdsPoem, nullptr);
        rules.setLevel(level);
        const std::string playerSaid = ar("بيت ينتهي بحرف نادر 3");
        rules.AddPlayerVerse(playerSaid);

        std::set<int32_t> said;
        std::string verse;
        char next = 0;
        for (int turn = 0; turn < 2 * kEachEnd - 1; ++turn) {
            ASSERT_TRUE(rules.PickComputerVerse(ar("ب"), verse, next)) << "turn " << turn;
            EXPECT_NE(verse, playerSaid);
            EXPECT_TRUE(said.insert(rules.UsedTextIDs.back()).second) << "said twice";
        }
        EXPECT_FALSE(rules.PickComputerVerse(ar("ب"), verse, next));
        EXPECT_EQ(rules.UsedTextIDs.size(), size_t(2 * kEachEnd - 1));
        EXPECT_FALSE(rules.PickComputerVerse(ar("ف"), verse, next));  // no verse at all for the letter
    }
}

// The weighted choice leaves the verse table as the designed one does: filtered on the letter,
// on the verse said.
TEST_F(PlayLevelTest, TheWeightedChoiceLeavesTheTableOnTheVerseSaid)
{
    TurnRules rules(store.cdsPoem, nullptr);
    rules.setLevel(PlayLevel::Hard);
    std::string verse;
    char next = 0;
    ASSERT_TRUE(rules.PickComputerVerse(ar("ب"), verse, next));
    Table& poem = store.cdsPoem;
    EXPECT_TRUE(poem.filtered());
    EXPECT_EQ(poem.recordCount(), 2 * kEachEnd);
    EXPECT_EQ(poem.field("Text").asString(), verse);
    EXPECT_EQ(poem.field("TextID").asInteger(), rules.UsedTextIDs.back());
    EXPECT_EQ(poem.field("EndLetter").asString(), std::string(1, next));
}

// A letter with thousands of verses is weighed on a sample of them. An ending the sample misses
// is still found when it holds the last free verse, and the computer is defeated only after it.
TEST(PlayLevelManyVersesTest, AnEndingTheSampleMissesIsStillReached)
{
    // A table in memory alone: thousands of verses in no time.
    Table poem("Poem");
    layouts::definePoem(poem);
    poem.setLetterIndex("StartLetter");
    poem.createDataSet();
    const std::string ba = ar("ب"), lam = ar("ل"), zah = ar("ظ");
    constexpr int kCommon = 5000;
    for (int i = 0; i < kCommon; ++i)
        poem.appendRecord({Value(), Value(ar("بيت ينتهي بحرف شائع ") + std::to_string(i)), Value(), Value(ba), Value(lam)});
    poem.appendRecord({Value(), Value(ar("بيت ينتهي بحرف نادر")), Value(), Value(ba), Value(zah)});
    const int32_t rare = int32_t(poem.field("TextID").asInteger());

    for (const PlayLevel level : {PlayLevel::Easy, PlayLevel::Hard}) {
        SCOPED_TRACE(int(level));
        TurnRules rules(poem, nullptr);
        rules.setLevel(level);
        for (int32_t id = 1; id <= kCommon; ++id)
            rules.AddUsedText(id);
        for (uint64_t seed : {1u, 2u, 3u}) {
            rules.setSeed(seed);
            std::string verse;
            char next = 0;
            ASSERT_TRUE(rules.PickComputerVerse(ba, verse, next));
            EXPECT_EQ(rules.UsedTextIDs.back(), rare);
            EXPECT_EQ(next, zah[0]);
            EXPECT_FALSE(rules.PickComputerVerse(ba, verse, next));
            rules.UsedTextIDs.pop_back();
        }
    }
}

// Weighed on a sample, the hard level still prefers the rare ending clearly.
TEST(PlayLevelManyVersesTest, TheSampledWeightsStillPreferTheRareEnding)
{
    Table poem("Poem");
    layouts::definePoem(poem);
    poem.setLetterIndex("StartLetter");
    poem.createDataSet();
    const std::string ba = ar("ب"), lam = ar("ل"), zah = ar("ظ");
    for (int i = 0; i < 3000; ++i)
        poem.appendRecord({Value(), Value(ar("بيت ") + std::to_string(i)), Value(), Value(ba), Value(i % 100 ? lam : zah)});
    for (int i = 0; i < 200; ++i)
        poem.appendRecord({Value(), Value(ar("لبيت ") + std::to_string(i)), Value(), Value(lam), Value(ba)});

    auto rareShare = [&](PlayLevel level) {
        TurnRules rules(poem, nullptr);
        rules.setLevel(level);
        int rare = 0;
        constexpr int kGames = 200;
        for (int game = 0; game < kGames; ++game) {
            rules.UsedTextIDs.clear();
            rules.setSeed(uint64_t(game) + 11);
            std::string verse;
            char next = 0;
            EXPECT_TRUE(rules.PickComputerVerse(ba, verse, next));
            rare += next == zah[0];
        }
        return double(rare) / kGames;
    };
    EXPECT_LT(rareShare(PlayLevel::Normal), 0.05);  // one verse in a hundred ends on ظ
    EXPECT_GT(rareShare(PlayLevel::Hard), 0.4);     // weighed: about two in three
}

}  // namespace
