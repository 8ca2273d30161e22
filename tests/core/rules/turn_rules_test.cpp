// The turn rules: end letters, repeats by either side, and the computer's choice, on a small
// verse table in a temporary folder.
#include "files_fixture.h"
#include "core/rules/turn_rules.h"
#include "reference_turn_rules.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <gtest/gtest.h>

#include <map>

using namespace barqeen;
using barqeen::test::TempFolder;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

TEST(GetEndLetterTest, CaseTable)
{
    struct Case {
        const char* text;
        bool playable;
        const char* letter;  // when playable
    };
    const Case cases[] = {
        {"", false, ""},
        {"ا", false, ""}, {"ة", false, ""}, {"و", false, ""}, {"ى", false, ""},
        {"على الدارُ", false, ""},        // a final vowel mark is not stepped over
        {"في السما", true, "م"},          // the alif is stepped over
        {"ربيعا", true, "ع"},
        {"نداء", true, "أ"},              // hamza becomes alef with hamza
        {"شتاءا", true, "أ"},             // one step back, then the hamza becomes أ
        {"هؤ", false, ""},                // waw with hamza is not a playable letter
        {"شاطئ", true, "أ"},
        {"سماآ", true, "أ"},
        {"إلى", true, "ل"},
        {"دعوا", true, "و"},
        {"حتىا", false, ""},              // steps back to ى only, which is not playable
        {"دوو", true, "و"},
        {"حياة", true, "أ"},              // back to the alif, which counts as أ
        {"قلب", true, "ب"},
        {"ماء", true, "أ"},
        {"بيت 1", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char letter = 'z';
        EXPECT_EQ(GetEndLetter(ar(c.text), letter), c.playable);
        if (c.playable) {
            EXPECT_EQ(std::string(1, letter), ar(c.letter));
        }
    }
}

class TurnRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        poem().setAfterScroll([this] {
            ++hookRuns;
            hookSawID = poem().field("TextID").asInteger();
        });
    }
    Table& poem() { return store.cdsPoem; }

    int64_t addVerse(const std::string& text, const std::string& start, const std::string& end)
    {
        poem().appendRecord({Value(), Value(text), Value(), Value(), Value(start), Value(end)});
        return poem().field("TextID").asInteger();
    }

    TempFolder dir;
    PoemStore store{dir.path()};
    std::vector<std::string> warnings;
    TurnRules rules{store.cdsPoem, [this](std::string_view text) { warnings.emplace_back(text); }};
    int hookRuns = 0;
    int64_t hookSawID = 0;
};

TEST_F(TurnRulesTest, PlayerRepeatIsFoundWhateverTheSpacingMarksAndHamza)
{
    rules.AddPlayerVerse(ar("أَلا لَيتَ الشَبابَ يَعودُ يَوماً"));
    for (const char* again : {"ألا ليت الشباب يعود يوما", "الا  ليت   الشباب يعود يوماً", "الاليت الشباب يعوديوما",
                              "إلا ليت الشباب\r\nيعود يوما"})
        EXPECT_TRUE(rules.SaidByPlayer(ar(again))) << again;
    EXPECT_FALSE(rules.SaidByPlayer(ar("ألا ليت الشباب يعود غدا")));
    EXPECT_FALSE(rules.SaidByPlayer(""));
}

TEST_F(TurnRulesTest, ComputerRepeatKeepsSingleSpacesAndLooksOnlyAtUsedVerses)
{
    const std::string verse = ar("وما نيل المطالب بالتمني");
    const int64_t unusedTwin = addVerse(verse, ar("و"), ar("ن"));
    const int64_t other = addVerse(ar("ولكن تؤخذ الدنيا غلابا"), ar("و"), ar("ب"));
    const int64_t usedTwin = addVerse(verse, ar("و"), ar("ن"));
    rules.AddUsedText(int32_t(other));
    rules.AddUsedText(int32_t(usedTwin));
    poem().setFilterText("StartLetter = 'x'");
    poem().setFiltered(true);

    EXPECT_TRUE(rules.SaidByComputer(ar("وَما نَيلُ  المَطالِبِ بِالتَمَنّي")) == false);  // shadda kept: another text
    EXPECT_TRUE(rules.SaidByComputer(ar("وما نيل   المطالب بالتمني")));          // doubled spaces collapse
    EXPECT_EQ(poem().field("TextID").asInteger(), usedTwin);  // the unused twin did not end the walk
    EXPECT_NE(unusedTwin, usedTwin);
    EXPECT_FALSE(poem().filtered());
    EXPECT_EQ(poem().filterText(), "StartLetter = 'x'");
    EXPECT_EQ(hookSawID, usedTwin);

    EXPECT_FALSE(rules.SaidByComputer(ar("وما نيل المطالببالتمني")));  // two words run together
    EXPECT_TRUE(poem().eof());
    EXPECT_EQ(hookSawID, usedTwin);  // the walk ended at the last verse
}

TEST_F(TurnRulesTest, AlreadySaidWarnsOnceAndChecksTheComputerOnlyWhenNeeded)
{
    const int64_t id = addVerse(ar("بكيت على الشباب بدمع عيني"), ar("ب"), ar("ن"));
    rules.AddUsedText(int32_t(id));
    rules.AddPlayerVerse(ar("قفا نبك من ذكرى حبيب ومنزل"));
    poem().setFilterText("StartLetter = 'x'");
    poem().setFiltered(true);

    EXPECT_TRUE(rules.AlreadySaid(ar("قفا نبك من ذكرى حبيب ومنزل")));
    EXPECT_TRUE(poem().filtered());  // the player's list answered; the verse table was not walked
    EXPECT_EQ(warnings, std::vector<std::string>{std::string(kAlreadySaidMessage)});
    EXPECT_EQ(codepage::toUtf8(warnings[0]), "قـــيل");

    EXPECT_TRUE(rules.AlreadySaid(ar("بكيت على الشباب بدمع عيني")));
    EXPECT_FALSE(poem().filtered());
    EXPECT_FALSE(rules.AlreadySaid(ar("بيت لم يقل بعد في هذه المطارحة")));
    EXPECT_EQ(warnings.size(), 2u);
}

TEST_F(TurnRulesTest, NoVerseForTheLetterChangesNothing)
{
    addVerse(ar("بيت أول"), ar("ب"), ar("ل"));
    std::string text = "untouched";
    char next = '?';
    EXPECT_FALSE(rules.PickComputerVerse(ar("ت"), text, next));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(next, '?');
    EXPECT_TRUE(rules.UsedTextIDs.empty());
    EXPECT_EQ(poem().filterText(), ar("StartLetter = 'ت'"));
    EXPECT_TRUE(poem().filtered());
    EXPECT_EQ(poem().recordCount(), 0);
}

TEST_F(TurnRulesTest, ChoiceLeavesTheFilterOnTheChosenVerseAndHandsOnTheStoredEndLetter)
{
    for (int i = 0; i < 6; ++i)
        addVerse(ar("بيت") + std::to_string(i), ar(i % 2 ? "ب" : "س"), ar("ر"));  // stored end letter ر
    std::string text;
    char next = 0;
    ASSERT_TRUE(rules.PickComputerVerse(ar("ب"), text, next));
    EXPECT_EQ(std::string(1, next), ar("ر"));  // not worked out from the text, which ends on a digit
    EXPECT_EQ(poem().recordCount(), 3);
    EXPECT_TRUE(poem().filtered());
    EXPECT_EQ(poem().filterText(), ar("StartLetter = 'ب'"));
    ASSERT_EQ(rules.UsedTextIDs.size(), 1u);
    EXPECT_EQ(poem().field("TextID").asInteger(), rules.UsedTextIDs[0]);
    EXPECT_EQ(poem().field("Text").asString(), text);
    EXPECT_EQ(hookSawID, rules.UsedTextIDs[0]);  // the after-move hook last saw the chosen verse
}

TEST_F(TurnRulesTest, TheOneFreeVerseAmongManyUsedIsAlwaysFound)
{
    std::vector<int64_t> ids;
    for (int i = 0; i < 200; ++i)
        ids.push_back(addVerse(ar("جمل ") + std::to_string(i), ar("ج"), ar("ل")));
    for (int64_t id : ids)
        if (id != ids[137])
            rules.AddUsedText(int32_t(id));
    for (uint64_t seed = 0; seed < 20; ++seed) {
        rules.setSeed(seed);
        std::string text;
        char next;
        ASSERT_TRUE(rules.PickComputerVerse(ar("ج"), text, next));
        EXPECT_EQ(rules.UsedTextIDs.back(), ids[137]);
        rules.UsedTextIDs.pop_back();
    }
}

TEST_F(TurnRulesTest, AllUsedOrSaidByThePlayerMeansDefeat)
{
    const int64_t a = addVerse(ar("دار الحبيب"), ar("د"), ar("ب"));
    addVerse(ar("دنيا  الهوى"), ar("د"), ar("ي"));
    rules.AddUsedText(int32_t(a));
    rules.AddPlayerVerse(ar("دنيا الهوى"));  // said by the player: the computer will not say it
    std::string text;
    char next;
    EXPECT_FALSE(rules.PickComputerVerse(ar("د"), text, next));
    EXPECT_EQ(rules.UsedTextIDs.size(), 1u);

    rules.PlayerVerses.clear();
    ASSERT_TRUE(rules.PickComputerVerse(ar("د"), text, next));
    EXPECT_EQ(text, ar("دنيا  الهوى"));
}

TEST_F(TurnRulesTest, EveryFreeVerseIsEquallyLikely)
{
    std::vector<int64_t> ids;
    for (int i = 0; i < 8; ++i)
        ids.push_back(addVerse(ar("رأى ") + std::to_string(i), ar("ر"), ar("ى")));
    rules.AddUsedText(int32_t(ids[0]));
    rules.AddUsedText(int32_t(ids[1]));
    rules.AddUsedText(int32_t(ids[2]));
    rules.AddUsedText(int32_t(ids[3]));
    std::map<int32_t, int> times;
    const int draws = 4000;
    for (int i = 0; i < draws; ++i) {
        rules.setSeed(uint64_t(i) * 7919 + 1);
        std::string text;
        char next;
        ASSERT_TRUE(rules.PickComputerVerse(ar("ر"), text, next));
        ++times[rules.UsedTextIDs.back()];
        rules.UsedTextIDs.pop_back();
    }
    ASSERT_EQ(times.size(), 4u);
    for (const auto& [id, n] : times) {
        EXPECT_GE(id, ids[4]);
        EXPECT_NEAR(n, draws / 4, draws / 4 / 5) << id;  // well within chance for 4000 draws
    }
}

// The fast rules and the step-by-step walk agree on whole games of random verses.
TEST_F(TurnRulesTest, AgreesWithTheStepByStepWalk)
{
    const std::string letters = ar("ابتجدرسعلمن");
    std::mt19937 random(5);
    auto word = [&] {
        std::string w;
        for (int n = 2 + int(random() % 3); n > 0; --n)
            w += letters[random() % letters.size()];
        return w;
    };
    for (int i = 0; i < 400; ++i) {
        const std::string text = word() + (random() % 3 ? " " : "  ") + word();
        addVerse(text, std::string(1, letters[random() % 4]), std::string(1, letters[random() % 4]));
    }
    test::ReferenceTurnRules reference{poem(), rules.UsedTextIDs};
    std::mt19937_64 draw(1);
    int defeats = 0;
    for (int round = 0; round < 500; ++round) {  // past the ~100 verses of each letter
        const std::string letter(1, letters[round % 4]);
        std::string text;
        char next;
        const bool found = rules.PickComputerVerse(letter, text, next);
        if (found) {
            const int32_t chosen = rules.UsedTextIDs.back();
            rules.UsedTextIDs.pop_back();
            EXPECT_NE(reference.PickComputerVerse(letter, draw), 0) << round;
            rules.UsedTextIDs.push_back(chosen);
        } else {
            // Defeated: both leave the cursor where the walk over the letter's verses ended.
            const int64_t fastAt = poem().recordCount() ? poem().field("TextID").asInteger() : 0;
            const int fastRecNo = poem().recNo();
            const bool fastEof = poem().eof();
            EXPECT_EQ(reference.PickComputerVerse(letter, draw), 0) << round;
            EXPECT_EQ(fastAt, poem().recordCount() ? poem().field("TextID").asInteger() : 0) << round;
            EXPECT_EQ(fastRecNo, poem().recNo()) << round;
            EXPECT_EQ(fastEof, poem().eof()) << round;
            ++defeats;
        }
        const std::string probe = round % 2 ? text : word() + " " + word();
        const bool fast = rules.SaidByComputer(probe);
        const int64_t fastAt = poem().field("TextID").asInteger();
        const bool fastEof = poem().eof();
        EXPECT_EQ(fast, reference.SaidByComputer(probe)) << round;
        EXPECT_EQ(fastAt, poem().field("TextID").asInteger()) << round;
        EXPECT_EQ(fastEof, poem().eof()) << round;
    }
    EXPECT_GT(defeats, 0);  // the games ran until letters were used up
}

}  // namespace
