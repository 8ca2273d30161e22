#include "core/text/verse_check.h"

#include "core/text/letters.h"

#include "cp1256_literals.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace barqeen {
// Readable fault names in failure output.
void PrintTo(VerseFault fault, std::ostream* os)
{
    switch (fault) {
    case VerseFault::None: *os << "None"; return;
    case VerseFault::TooShort: *os << "TooShort"; return;
    case VerseFault::NotArabic: *os << "NotArabic"; return;
    case VerseFault::NotPoetry: *os << "NotPoetry"; return;
    }
    *os << "VerseFault(" << static_cast<int>(fault) << ")";
}
}  // namespace barqeen

namespace {

using barqeen::CheckVerseRules;
using barqeen::VerseFault;
using W = std::string;  // shorthand for the byte strings below
const auto w = barqeen::test::cp1256;

// A well-formed hemistich of 31 bytes that passes every rule on its own.
const W Verse = w("على قدر أهل العزم تأتي العزائم");

struct Case {
    const char* name;
    W text;
    VerseFault expected;
};

void checkAll(const std::vector<Case>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckVerseRules(c.text), c.expected);
    }
}

TEST(VerseCheckTest, LengthCountsBytesAfterShrinkingSpaces)
{
    // "قفا نبك من ذكرى حبيب ومنزل" is 26 bytes; without its last letter, 25.
    checkAll({
        {"25 bytes", w("قفا نبك من ذكرى حبيب ومنز"), VerseFault::TooShort},
        {"26 bytes", w("قفا نبك من ذكرى حبيب ومنزل"), VerseFault::None},
        {"27 bytes with a double space", w("قفا نبك  من ذكرى حبيب ومنزل"), VerseFault::None},
        {"26 bytes with a double space", w("قفا نبك  من ذكرى حبيب ومنز"), VerseFault::TooShort},
        {"four spaces shrink to one", w("قفا نبك    من ذكرى حبيب ومنزل"), VerseFault::None},
        {"three spaces shrink before the run rule", w("قفا نبك   من ذكرى حبيب ومنزل"),
         VerseFault::None},
        {"leading space counts", w(" قفا نبك من ذكرى حبيب ومنز"), VerseFault::None},
        {"trailing space counts", w("قفا نبك من ذكرى حبيب ومنز "), VerseFault::None},
        {"leading spaces shrink but stay", w("   فا نبك من ذكرى حبيب ومنز"),
         VerseFault::TooShort},
        {"trailing spaces shrink but stay", w("قفا نبك من ذكرى حبيب ومنز    "),
         VerseFault::None},
        {"empty", "", VerseFault::TooShort},
    });
}

TEST(VerseCheckTest, ForeignCharactersAnywhereAreNotArabic)
{
    const W foreign = W("xZ5.-\t") + W(1, '\0') +
                      w("،؛؟\u0651\u064E\u064D\u0652پگہ");  // shadda, fatha, kasratan, sukun
    const std::vector<std::size_t> positions = {0, 1, 9, Verse.size()};
    for (const char ch : foreign) {
        for (const std::size_t at : positions) {
            SCOPED_TRACE(::testing::Message() << "byte " << int(static_cast<unsigned char>(ch))
                                              << " at " << at);
            W text = Verse;
            text.insert(at, 1, ch);
            EXPECT_EQ(CheckVerseRules(text), VerseFault::NotArabic);
        }
    }
}

TEST(VerseCheckTest, LineBreaksAndAcceptedMarksAreAllowed)
{
    checkAll({
        {"CR LF between hemistichs", w("على قدر أهل العزم\r\nتأتي العزائم"), VerseFault::None},
        {"lone LF and CR", w("على قدر أهل\nالعزم\rتأتي العزائم"), VerseFault::None},
        {"damma, kasra, dammatan, fathatan",
         w("على قدرِ أهلُ العزمٌ تأتيً العزائم"), VerseFault::None},
        {"tatweel", w("على قدر أهـل العزم تأتي العزائم"), VerseFault::None},
    });
}

TEST(VerseCheckTest, ThreeEqualCharactersInARow)
{
    checkAll({
        {"letters inside", Verse + w(" كاااتب"), VerseFault::NotPoetry},
        {"at the very start", w("ااا") + Verse, VerseFault::NotPoetry},
        {"tatweel inside", w("على قدر أهـــل العزم تأتي العزائم"), VerseFault::NotPoetry},
        {"line feeds inside", w("على قدر أهل العزم\n\n\nتأتي العزائم"), VerseFault::NotPoetry},
        {"run starting at n-3 is caught", Verse + w(" كاااب"), VerseFault::NotPoetry},
        {"run on the last three is let through", Verse + w(" كااا"), VerseFault::None},
        {"CRs on the last three are let through", Verse + "\r\r\r", VerseFault::None},
        {"a pair is fine", Verse + w(" كاات"), VerseFault::None},
    });
}

TEST(VerseCheckTest, TaMarbutaAndAlefMaksuraOnlyEndAWord)
{
    checkAll({
        {"ta marbuta then letter", Verse + w(" مدرسةكبيرة"), VerseFault::NotPoetry},
        {"alef maksura then letter", Verse + w(" علىكم"), VerseFault::NotPoetry},
        {"ta marbuta then tatweel", Verse + w(" مدرسةـ"), VerseFault::NotPoetry},
        {"ta marbuta then accepted mark", Verse + w(" مدرسةٌ"), VerseFault::NotPoetry},
        {"followed by space, or last", Verse + w(" مدرسة كبيرة على"), VerseFault::None},
        {"followed by line feed", Verse + w(" مدرسة\nكبيرة"), VerseFault::None},
        {"followed by carriage return", Verse + w(" على\rكم"), VerseFault::None},
    });
}

TEST(VerseCheckTest, LettersThatCannotBeginAWord)
{
    std::vector<Case> cases;
    for (const char* letter : {"ء", "ئ", "ة", "ى"}) {
        // Standing alone as a word, so no other rule can be the one that fires.
        cases.push_back({letter, w(letter) + w(" ") + Verse, VerseFault::NotPoetry});
        cases.push_back({letter, Verse + w(" ") + w(letter) + w(" سل"), VerseFault::NotPoetry});
        // Only a space marks a word start; a line break does not.
        cases.push_back({letter, Verse + w("\n") + w(letter) + w(" سل"), VerseFault::None});
    }
    cases.push_back({"hamza on waw may begin a word", Verse + w(" ؤلف"), VerseFault::None});
    cases.push_back({"hamza inside a word", Verse + w(" سماء شيء"), VerseFault::None});
    checkAll(cases);
}

TEST(VerseCheckTest, LettersThatCannotBeDoubled)
{
    checkAll({
        {"ghain", Verse + w(" مغغل"), VerseFault::NotPoetry},
        {"ya hamza", Verse + w(" سئئل"), VerseFault::NotPoetry},
        {"hamza ending the text", Verse + w(" ماءء"), VerseFault::NotPoetry},
        {"ta marbuta", Verse + w(" مدرسةة"), VerseFault::NotPoetry},
        {"alef maksura", Verse + w(" علىى"), VerseFault::NotPoetry},
        {"lam may double", Verse + w(" الله"), VerseFault::None},
        {"ba may double", Verse + w(" ربب"), VerseFault::None},
    });
}

TEST(VerseCheckTest, FirstFailingPositionDecides)
{
    checkAll({
        {"short text with Latin letters", "abc", VerseFault::TooShort},
        {"word-start fault before a Latin letter", w("ة ") + Verse + "x", VerseFault::NotPoetry},
        {"Latin letter before a word-start fault", Verse + "x" + w(" ةب"), VerseFault::NotArabic},
        {"foreign run fails as foreign", "xxx" + Verse, VerseFault::NotArabic},
        {"run before a foreign mark", Verse + w(" كاااب\u064E"), VerseFault::NotPoetry},
    });
}

TEST(VerseCheckTest, RealVersesPass)
{
    using barqeen::NormalizeText;
    checkAll({
        {"al-Mutanabbi", NormalizeText(w("عَلى قَدْرِ أَهْلِ العَزْمِ تَأتي العَزائِمُ\n"
                                          "وَتَأتي عَلى قَدْرِ الكِرامِ المَكارِمُ")),
         VerseFault::None},
        {"Imru' al-Qais", w("قفا نبك من ذكرى حبيب ومنزل  بسقط اللوى بين الدخول فحومل"),
         VerseFault::None},
    });
}

TEST(VerseCheckTest, MessagesAreTheFixedTexts)
{
    using barqeen::VerseFaultMessage;
    EXPECT_TRUE(VerseFaultMessage(VerseFault::None).empty());
    EXPECT_EQ(VerseFaultMessage(VerseFault::TooShort), w("طول البيت قصير"));
    EXPECT_EQ(VerseFaultMessage(VerseFault::NotArabic), w("توجد رموز أو حروف غير عربية في البيت"));
    EXPECT_EQ(VerseFaultMessage(VerseFault::NotPoetry), w("هذا ليس شعر"));
}

}  // namespace
