// The level of play: which of the verses for a letter the computer says. The table below has
// verses for ب ending on a rare letter (ظ, which begins one verse of the table) and on a common
// one (ل, which begins forty).
#include "files_fixture.h"
#include "game/rules/turn_rules.h"
#include "store/poem_store.h"
#include "text/codepage.h"

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

}  // namespace
