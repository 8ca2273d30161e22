#include "core/text/letters.h"

#include "cp1256_literals.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

using barqeen::test::cp1256;

namespace {

// The escaped bytes must spell the intended letters, in the stored order.
TEST(LettersTest, SetsSpellTheirLettersInStoredOrder)
{
    EXPECT_EQ(barqeen::PoemLetters, cp1256("ذدجحخهعغإفقثصضطكمنتـاألبيسشظزوةىآرؤءئ"));
    EXPECT_EQ(barqeen::HamzaForms, cp1256("أإآء"));
    // fathatan, kasra, dammatan, damma, fathatan
    EXPECT_EQ(barqeen::PoemMarks, cp1256("\u064B\u0650\u064C\u064F\u064B"));
    // dammatan, damma, fathatan, fatha, kasra, kasratan, sukun
    EXPECT_EQ(barqeen::VowelMarks, cp1256("\u064C\u064F\u064B\u064E\u0650\u064D\u0652"));
}

TEST(LettersTest, MembershipOfLettersThatAreEasyToMisfile)
{
    using barqeen::inSet;
    const char shadda = '\xF8';
    for (std::string_view set : {barqeen::PoemLetters, barqeen::PoemMarks,
                                 barqeen::HamzaForms, barqeen::VowelMarks}) {
        EXPECT_FALSE(inSet(set, shadda));
        EXPECT_FALSE(inSet(set, '\0'));  // a string_view search must not find a terminator
    }
    for (const char* letter : {"ؤ", "ئ", "ا"}) {
        const char ch = cp1256(letter)[0];
        EXPECT_FALSE(inSet(barqeen::HamzaForms, ch)) << letter;
        EXPECT_TRUE(inSet(barqeen::PoemLetters, ch)) << letter;
    }
    // Marks dropped when matching but refused in a typed verse.
    for (const char mark : {'\xF3', '\xF2', '\xFA'}) {  // fatha, kasratan, sukun
        EXPECT_TRUE(inSet(barqeen::VowelMarks, mark));
        EXPECT_FALSE(inSet(barqeen::PoemMarks, mark));
    }
}

// Every one of the 256 bytes, against the accepted list written in code-page order.
TEST(IsPoemCharTest, AcceptsExactlyTheVerseLettersAndMarks)
{
    const std::set<unsigned char> accepted = {
        0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD,
        0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0xD9, 0xDA, 0xDB,
        0xDC, 0xDD, 0xDE, 0xDF, 0xE1, 0xE3, 0xE4, 0xE5, 0xE6, 0xEC, 0xED,  // letters, tatweel
        0xF0, 0xF1, 0xF5, 0xF6,  // fathatan, dammatan, damma, kasra
    };
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << b);
        EXPECT_EQ(barqeen::IsPoemChar(static_cast<char>(b)),
                  accepted.count(static_cast<unsigned char>(b)) == 1);
    }
}

TEST(IsPoemCharTest, RejectsLayoutPunctuationAndNonArabicLetters)
{
    const std::string rejected = std::string(" \n\r\t\0", 5) + "7aZ" +
                                 cp1256("،؛؟\u064E\u064D\u0652\u0651پگہ") +
                                 "\x8A\x8D\x8E\x8F\x98\x9A\x9F\xAA\xFF";  // ٹ چ ژ ڈ ک ڑ ں ھ ے
    for (const char ch : rejected)
        EXPECT_FALSE(barqeen::IsPoemChar(ch)) << "byte " << int(static_cast<unsigned char>(ch));
}

struct NormalizeCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST(NormalizeTextTest, CaseTable)
{
    const std::vector<NormalizeCase> cases = {
        {"empty", "", ""},
        {"marks dropped, hamza folded", cp1256("أَحْمَد"), cp1256("احمد")},
        {"final hamza folded", cp1256("سماء"), cp1256("سماا")},
        {"hamza after ya folded", cp1256("شيء"), cp1256("شيا")},
        {"hamza under alef and madda folded", cp1256("إيمان آمن"), cp1256("ايمان امن")},
        {"hamza on waw kept", cp1256("مؤمن"), cp1256("مؤمن")},
        {"hamza on ya kept", cp1256("سئل"), cp1256("سئل")},
        {"shadda kept", cp1256("محمّد"), cp1256("محمّد")},
        {"ta marbuta and alef maksura kept", cp1256("مدرسة على"), cp1256("مدرسة على")},
        {"every vowel mark dropped", cp1256("سَلِمُوا عِلْمًا كتابٌ جميلٍ"),
         cp1256("سلموا علما كتاب جميل")},
        {"line feed deleted, not spaced", cp1256("قلبي\nعيني"), cp1256("قلبيعيني")},
        {"CR LF deleted", cp1256("قلبي\r\nعيني\r\n"), cp1256("قلبيعيني")},
        {"double spaces collapse and trim", cp1256("  ب  ت "), cp1256("ب ت")},
        {"single spaces are not trimmed", cp1256(" ب ت "), cp1256(" ب ت ")},
        {"line break alone does not trigger trim", cp1256(" ب\n"), cp1256(" ب")},
        {"spaces joined by a deleted line break", cp1256("ب \n ت"), cp1256("ب ت")},
        {"spaces joined by a dropped mark", cp1256(" \u064E ب"), cp1256("ب")},
        {"trim removes control bytes too", "\t" + cp1256("ب  ت") + "\x01",
         cp1256("ب ت")},
        {"control bytes kept without a double space", "\t" + cp1256("ب ت") + "\x01",
         "\t" + cp1256("ب ت") + "\x01"},
        {"only spaces", "    ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(barqeen::NormalizeText(c.text), c.expected);
    }
}

TEST(NormalizeTextTest, AnyRunOfSpacesBetweenWordsBecomesOne)
{
    for (int run = 1; run <= 17; ++run) {
        SCOPED_TRACE(run);
        const std::string text = cp1256("ب") + std::string(run, ' ') + cp1256("ت");
        EXPECT_EQ(barqeen::NormalizeText(text), cp1256("ب ت"));
    }
}

// The matching form written out step by step, one pass per step.
// Reports through `trimmed` whether a trim ever removed a byte.
std::string referenceNormalize(std::string_view text, bool& trimmed)
{
    trimmed = false;
    std::string r;
    for (const char ch : text) {
        if (barqeen::inSet(barqeen::HamzaForms, ch))
            r += '\xC7';  // ا
        else if (!barqeen::inSet(barqeen::VowelMarks, ch))
            r += ch;
    }
    std::erase(r, '\n');
    std::erase(r, '\r');
    while (r.find("  ") != std::string::npos) {
        std::string halved;
        for (std::size_t i = 0; i < r.size(); ++i) {
            halved += r[i];
            if (r[i] == ' ' && i + 1 < r.size() && r[i + 1] == ' ')
                ++i;
        }
        const auto low = [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; };
        std::size_t begin = 0, end = halved.size();
        while (begin < end && low(halved[begin]))
            ++begin;
        while (end > begin && low(halved[end - 1]))
            --end;
        trimmed = trimmed || begin > 0 || end < halved.size();
        r = halved.substr(begin, end - begin);
    }
    return r;
}

TEST(NormalizeTextTest, MatchesStepByStepFormOnRandomText)
{
    const std::string alphabet = std::string("     \n\n\r\r\t\x01\x1F\x21") +
                                 std::string(1, '\0') + "a" +
                                 cp1256("أإآءؤئابلةى\u064B\u064C\u064D\u064E\u064F\u0650\u0651\u0652") +
                                 "\xFF";
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 30);
    int trimmedSamples = 0;  // guards against a generator that never reaches the trim
    for (int sample = 0; sample < 50000; ++sample) {
        std::string text;
        for (int k = length(rng); k > 0; --k)
            text += alphabet[pick(rng)];
        bool trimmed = false;
        const std::string expected = referenceNormalize(text, trimmed);
        ASSERT_EQ(barqeen::NormalizeText(text), expected) << "sample " << sample;
        trimmedSamples += trimmed ? 1 : 0;
    }
    EXPECT_GT(trimmedSamples, 1000);
}

}  // namespace
