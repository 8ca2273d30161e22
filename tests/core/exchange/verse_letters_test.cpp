// The letters an imported verse is given when its file does not give them.
#include "exchange_fixture.h"

#include "core/exchange/verse_fields.h"

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

TEST(VerseLettersTest, TheLastLetterFollowsTheGamesRuleOnTheVersesLastLetters)
{
    const struct {
        const char* text;
        const char* letter;  // "" when none is playable
    } cases[] = {
        {"قفا نبك من ذكرى حبيب ومنزل", "ل"},
        {"ألا كل شيء ما خلا الله باطل.", "ل"},       // punctuation after the last letter
        {"أتعرف رسم الدار من أم معبدِ", "د"},        // a vowel mark after it
        {"وأنصف من لا يعرف الحقّ", "ق"},              // a shadda after it
        {"وأنصف من لا يعرف الحقُّ", "ق"},             // shadda and damma
        {"طويل الليل ممتد المدى", "د"},               // ى steps back once
        {"سألتك عن أيامنا وثابا", "ب"},               // ا steps back once
        {"وما هي إلا ساعة ثم تنقضي دنيا", "ي"},
        {"ما زال يبكي على الفتىا", ""},               // ى before the final ا: not playable
        {"بدأ", "أ"},                                 // a final أ is not folded into ا first
        {"فما لنا غير السماء", "أ"},                  // ء as أ
        {"كأنما ثغرها لؤلؤ", ""},                     // ؤ is not playable
        {"يا ليل ـــ", "ل"},                          // tatweel and space after the last letter
        {"hello world", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char letter = 0;
        const bool playable = deriveLastLetter(cp(c.text), letter);
        EXPECT_EQ(playable, *c.letter != 0);
        if (playable) {
            EXPECT_EQ(utf8(std::string_view(&letter, 1)), c.letter);
        }
    }
}

TEST(VerseLettersTest, TheFirstLetterIsTheFirstLetterOfTheMatchingFormWithAlifFormsAsAlifHamza)
{
    const struct {
        const char* text;
        const char* letter;  // "" when it is none of the 28
    } cases[] = {
        {"قفا نبك", "ق"},
        {"إذا غامرت", "أ"},
        {"آمنت بالله", "أ"},
        {"الخيل والليل", "أ"},
        {"«ومن يتهيب صعود الجبال»", "و"},  // signs before the first letter are passed over
        {"ـــيا ليل", "ي"},
        {"ءامنوا", "أ"},
        {"ؤلف غريب", ""},
        {"1234", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char letter = 0;
        const bool usable = deriveFirstLetter(cp(c.text), letter);
        EXPECT_EQ(usable, *c.letter != 0);
        if (usable) {
            EXPECT_EQ(utf8(std::string_view(&letter, 1)), c.letter);
        }
    }
}

}  // namespace
