// Fully vowelled classical verses, as pasted from a vowelled source: every one holds a shadda,
// which the designed verse check refuses as not Arabic; with vowelled verses accepted the shadda
// counts as a vowel mark in the verse check, the repeat checks and the end letter.
#include "files_fixture.h"
#include "core/rules/turn_rules.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"
#include "core/text/letters.h"
#include "core/text/verse_check.h"

#include <gtest/gtest.h>

using namespace barqeen;
using barqeen::test::TempFolder;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

struct VowelledVerse {
    const char* text;
    const char* bare;       // the same verse without marks
    const char* endLetter;  // the letter it hands on
};

const VowelledVerse kVerses[] = {
    {"قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ بِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ",
     "قفا نبك من ذكرى حبيب ومنزل بسقط اللوى بين الدخول فحومل", "ل"},
    {"وَمَهْمَا تَكُنْ عِنْدَ امْرِئٍ مِنْ خَلِيقَةٍ وَإِنْ خَالَهَا تَخْفَى عَلَى النَّاسِ تُعْلَمِ",
     "ومهما تكن عند امرئ من خليقة وان خالها تخفى على الناس تعلم", "م"},
    // The two halves on two lines, as a paste of two lines brings them.
    {"لِكُلِّ شَيْءٍ إِذَا مَا تَمَّ نُقْصَانُ\r\nفَلا يُغَرَّ بِطِيبِ العَيْشِ إِنْسَانُ",
     "لكل شيء اذا ما تم نقصان\r\nفلا يغر بطيب العيش انسان", "ن"},
    {"أَنَا الَّذِي نَظَرَ الأَعْمَى إِلَى أَدَبِي وَأَسْمَعَتْ كَلِمَاتِي مَنْ بِهِ صَمَمُ",
     "انا الذي نظر الاعمى الى ادبي واسمعت كلماتي من به صمم", "م"},
    {"إِذَا غَامَرْتَ فِي شَرَفٍ مَرُومِ فَلا تَقْنَعْ بِمَا دُونَ النُّجُومِ",
     "اذا غامرت في شرف مروم فلا تقنع بما دون النجوم", "م"},
    {"الخَيْلُ وَاللّيْلُ وَالبَيْداءُ تَعرِفُني وَالسّيفُ وَالرّمحُ وَالقرْطاسُ وَالقَلَمُ",
     "الخيل والليل والبيداء تعرفني والسيف والرمح والقرطاس والقلم", "م"},
};

class VowelledVersesTest : public ::testing::Test {
protected:
    void SetUp() override { store.OpenTables(); }
    Table& poem() { return store.cdsPoem; }
    int32_t addVerse(const std::string& text, const std::string& start, const std::string& end)
    {
        poem().appendRecord({Value(), Value(text), Value(), Value(), Value(start), Value(end)});
        return int32_t(poem().field("TextID").asInteger());
    }

    TempFolder dir;
    PoemStore store{dir.path()};
    TurnRules rules{store.cdsPoem, nullptr};
};

TEST_F(VowelledVersesTest, TheDesignedCheckRefusesTheShaddaAndTheOptionAcceptsTheVerse)
{
    for (const VowelledVerse& v : kVerses) {
        SCOPED_TRACE(v.bare);
        const std::string text = ar(v.text);
        char letter = 0;

        rules.setAcceptVowelled(false);
        const std::string designedForm = rules.PlayerForm(text);
        EXPECT_EQ(designedForm, NormalizeText(text));
        EXPECT_EQ(CheckVerseRules(designedForm), VerseFault::NotArabic);
        EXPECT_EQ(FirstNotArabic(designedForm), Shadda);
        EXPECT_FALSE(rules.PlayerEndLetter(text, letter));  // it ends on a mark

        rules.setAcceptVowelled(true);
        const std::string form = rules.PlayerForm(text);
        EXPECT_EQ(form, NormalizeText(ar(v.bare)));
        EXPECT_EQ(CheckVerseRules(form), VerseFault::None);
        ASSERT_TRUE(rules.PlayerEndLetter(text, letter));
        EXPECT_EQ(std::string(1, letter), ar(v.endLetter));
    }
}

// The end letter with the marks passed over keeps the designed steps: one step back over a
// final alif, hamza forms become أ, ؤ is not playable.
TEST_F(VowelledVersesTest, EndLetterPastMarksKeepsTheDesignedSteps)
{
    const std::pair<const char*, const char*> cases[] = {
        {"رَبِيعًا", "ع"}, {"دَارُ", "ر"}, {"سَمَاءُ", "أ"}, {"مُحَمَّدٌ", "د"}, {"الحَقُّ", "ق"}, {"هُؤُ", ""},
        {"ٌّ", ""},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        char letter = 0;
        const bool playable = GetEndLetterPastMarks(ar(text), letter);
        EXPECT_EQ(playable, *expected != '\0');
        if (playable) {
            EXPECT_EQ(std::string(1, letter), ar(expected));
        }
    }
}

TEST_F(VowelledVersesTest, PlayerRepeatsAreFoundWithAndWithoutMarksOnlyWhenAccepted)
{
    rules.setAcceptVowelled(true);
    rules.AddPlayerVerse(ar(kVerses[0].text));
    rules.AddPlayerVerse(ar(kVerses[3].bare));
    EXPECT_TRUE(rules.SaidByPlayer(ar(kVerses[0].bare)));  // said vowelled, again bare
    EXPECT_TRUE(rules.SaidByPlayer(ar("قفا نبك من ذكرى حبيب ومنزل بسقط اللّوى بين الدّخول فحومل")));  // shadda only
    EXPECT_TRUE(rules.SaidByPlayer(ar(kVerses[3].text)));  // said bare, again vowelled
    EXPECT_FALSE(rules.SaidByPlayer(ar(kVerses[4].text)));

    // The designed rule: the matching form keeps the shadda, so the two are different verses.
    TurnRules designed{store.cdsPoem, nullptr};
    designed.AddPlayerVerse(ar(kVerses[3].bare));
    EXPECT_FALSE(designed.SaidByPlayer(ar(kVerses[3].text)));
    EXPECT_TRUE(designed.SaidByPlayer(ar("أَنَا الذِي نَظَرَ الأَعْمَى إِلَى أَدَبِي وَأَسْمَعَتْ كَلِمَاتِي مَنْ بِهِ صَمَمُ")));
}

TEST_F(VowelledVersesTest, TheComputersVersesAreFoundWithAndWithoutMarksOnlyWhenAccepted)
{
    // The table holds one verse with its shadda and one without marks; the computer said both.
    const int32_t withShadda = addVerse(ar("قفا نبك من ذكرى حبيب ومنزل بسقط اللّوى بين الدّخول فحومل"), ar("ق"), ar("ل"));
    const int32_t bare = addVerse(ar(kVerses[4].bare), ar("ا"), ar("م"));
    rules.AddUsedText(withShadda);
    rules.AddUsedText(bare);

    rules.setAcceptVowelled(true);
    EXPECT_TRUE(rules.SaidByComputer(ar(kVerses[0].text)));
    EXPECT_EQ(poem().field("TextID").asInteger(), withShadda);
    EXPECT_TRUE(rules.SaidByComputer(ar(kVerses[0].bare)));
    EXPECT_TRUE(rules.SaidByComputer(ar(kVerses[4].text)));
    EXPECT_EQ(poem().field("TextID").asInteger(), bare);
    EXPECT_FALSE(rules.SaidByComputer(ar(kVerses[5].text)));

    rules.setAcceptVowelled(false);
    EXPECT_FALSE(rules.SaidByComputer(ar(kVerses[0].bare)));
    EXPECT_FALSE(rules.SaidByComputer(ar("إِذَا غَامَرْتَ فِي شَرَفٍ مَرُومِ فَلا تَقْنَعْ بِمَا دُونَ النّجُومِ")));
    EXPECT_TRUE(rules.SaidByComputer(ar("إِذَا غَامَرْتَ فِي شَرَفٍ مَرُومِ فَلا تَقْنَعْ بِمَا دُونَ النجُومِ")));
}

// The computer does not answer with a verse the player has said, whatever marks either carries.
TEST_F(VowelledVersesTest, TheComputerDoesNotSayWhatThePlayerSaidVowelled)
{
    rules.setAcceptVowelled(true);
    rules.setSeed(5);
    addVerse(ar("قفا نبك من ذكرى حبيب ومنزل بسقط اللّوى بين الدخول فحومل"), ar("ق"), ar("ل"));
    rules.AddPlayerVerse(ar(kVerses[0].text));
    std::string said;
    char next = 0;
    EXPECT_FALSE(rules.PickComputerVerse(ar("ق"), said, next));
    EXPECT_TRUE(rules.UsedTextIDs.empty());
}

}  // namespace
