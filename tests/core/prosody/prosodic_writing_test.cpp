// The prosodic writing: what is said is written, what is not is dropped. Each case is a short
// hemistich, fully vowelled, and its letters as said: 1 moving, 0 silent. A hemistich's last
// vowel is drawn out, so a moving last letter is followed by a silent one.
#include "core/prosody/prosodic_writing.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>

namespace barqeen::prosody {
namespace {

struct Case {
    const char* text;
    const char* said;
    const char* rule;
};

const Case kCases[] = {
    {"كَتَبَ", "1110", "each vowel a moving letter; the last drawn out"},
    {"كِتَابٌ جَدِيدٌ", "1101011010", "tanween is a silent nun; the long alif silent"},
    {"عَلَّمَ", "10110", "a shadda doubles its letter: silent then moving"},
    {"مُحَمَّدٌ", "110110", "shadda inside; tanween at the end is only drawn out"},
    {"رَأَيْتُ مُحَمَّدًا", "1101110110", "the alif that carries a tanween is not said"},
    {"فِي الْبَيْتِ", "101010", "a long vowel before the silent lam is dropped with the wasl alif"},
    {"مِنَ الشَّمْسِ", "1101010", "the sun letter takes the lam: الشّ said as a doubled shin"},
    {"مِنْ الْقَمَرِ", "1101110", "a silent end takes a vowel before the silent lam"},
    {"الْقَمَرُ", "101110", "the article that opens the hemistich is said: أَلْ"},
    {"قَالُوا", "1010", "the alif after the plural's waw is silent"},
    {"هَذَا", "1010", "the hidden alif of هذا is said"},
    {"ذَلِكَ", "10110", "the hidden alif of ذلك is said"},
    {"لَهُ قَلْبٌ", "1101010", "the pronoun's vowel after a moving letter is drawn out"},
    {"مِنْهُ", "1010", "... but not after a silent one"},
    {"فِي الْوَلَهِ قَلْبِي", "101111010", "... nor is the ه of a word with the article, its own letter"},
    {"يَوْمٌ سَعِيدٌ", "101011010", "a silent waw (diphthong) and tanween inside"},
    {"سَمَاءٌ", "11010", "hamza is a letter like any other"},
    {"آمَنَ", "10110", "the madda is a hamza and a long alif"},
    {"عَمْرٌو", "1010", "the waw of عمرو is not said"},
    {"الَّذِي", "10110", "the lam of الذي is doubled"},
    {"وَاسْلَمِي", "10110", "a hamzat al-wasl after the conjunction is not said"},
    {"اللَّهُ", "101010", "the hidden alif of الله"},
    {"كِـتَـابٌ", "11010", "a tatweel stretches the line; it is no letter"},
    {"أَدِيمَ الْـ", "11010", "the article cut by the hemistichs' border is a wasl: not said, no vowel drawn out"},
    {"لِلِاسْمِ", "11010", "the article before a wasl noun: the wasl falls, the lam moves"},
    {"وَالِانْتِظَارُ", "11011010", "... and before the wasl of a measure (انفعال)"},
    {"وَاتَّقِ اللَّهَ", "101101010", "a wasl after the conjunction before a doubled letter"},
    {"قَلْبَ امْرِئٍ إِلَّا", "10101101010", "a word always said its own way keeps the tanween the text gives it"},
    {"ٱلْقَمَرُ", "101110", "the article's alif written ٱ: said as أَلْ when it opens the hemistich"},
    {"مِنَ ٱلشَّمْسِ", "1101010", "... and before a sun letter, the lam not said"},
    {"وَٱللَّيْلُ", "101010", "... after a prefix"},
    {"فِيْ الْبَيْتِ", "101010", "a long vowel marked silent still falls before the silent lam"},
    {"يَدْعُوْ الْقَوْمَ", "10101010", "... a long u too"},
    {"قَالُوا الْحَقَّ", "10101010", "the plural's waw falls before a wasl, with its silent alif"},
    {"أَوْ الْبَيْتِ", "1101010", "a diphthong's silent letter takes a vowel before the silent lam"},
    {"لَكِنَّ الْقَوْمَ", "1010101010", "a hidden alif the text leaves out is said, the text's shadda kept"},
    {"أُولَئِكَ", "110110", "the و of أولئك is not said, its hidden alif is"},
    {"أُولَٰئِكَ", "110110", "... also when the hidden alif is written small above"},
    {"هَكَذَا", "10110", "the hidden alif of هكذا"},
    {"اللَّهُمَّ", "10101010", "... and of اللهمّ"},
    {"الْإِلَهُ", "1011010", "... and of الإله"},
    {"مِائَةٌ", "1110", "the alif written in مائة is not said"},
    {"عَلَىٰ الْقَوْمِ", "1101010", "a small alif above ى marks the long a the ى already is"},
    {"مُوسَىٰ", "1010", "... at the hemistich's end too"},
    {"الصَّلَوٰةُ", "1011010", "... and above و, the و only its seat"},
    {"ا\u0653مَنَ", "10110", "a madda written apart from its alif is آ"},
    {"ا\u0654مَنَ", "1110", "... and a hamza written apart is أ"},
    {"قُمْ\u06E1", "10", "the Quran printers' sukun"},
    {"يَا بْنَ الْكِرَامِ", "101011010", "ابن written without its alif: the long vowel before it falls"},
    {"لِمَا قَرَّتْ", "1101010", "a small word vowelled otherwise is another word: لِمَا is not لَمَّا"},
};

// Each case's text is said as its pattern shows.
template <size_t N>
void expectEachSaid(const Case (&cases)[N])
{
    for (const Case& c : cases)
        EXPECT_EQ(likeliestPattern(QString::fromUtf8(c.text)), c.said) << c.text << ": " << c.rule;
}

TEST(ProsodicWriting, WritesWhatIsSaid)
{
    expectEachSaid(kCases);
}

// Bare text: the likeliest reading follows the measures of the words and the wasl.
const Case kBareCases[] = {
    {"وفي اختيار", "11011010", "افتعال opens with a wasl: the long vowel before it falls, the letter after it is silent"},
    {"من ابتسم", "1101110", "a silent end before a wasl takes a vowel"},
    {"يكتب", "10110", "the present verb: the letter after its ي is silent"},
    {"المجد", "101010", "a noun made with م: the letter after it is silent"},
    {"يتمايل", "1110110", "يتفاعل: the ت after the prefix moves"},
    {"قاوم", "10110", "two silent letters never meet inside a word: the waw after a long alif moves"},
    {"يا أيها", "1010110", "common words keep the shadda a bare text drops"},
    {"عني", "1010", "... the pronoun joined to عن and من among them"},
    {"للذي", "10110", "لِ before الذي keeps its doubled lam"},
    {"هلا لعله", "1010110110", "... and the particles هلّا and لعلّ with a pronoun"},
    {"بانت", "10110", "a word that opens with a letter and a plain alif is not a prefix before a hamza (بأنت)"},
    {"مَن يدّعي", "1010110", "a common word marked in part: its spelling fills the marks the text leaves out"},
    {"إنِ اسْطَعْتَ", "1101010", "... and the vowel the text gives a silent end before a wasl holds"},
};

TEST(ProsodicWriting, BareWordsReadAsTheirMeasuresHaveThem)
{
    expectEachSaid(kBareCases);
}

// A prefix before a bare alif: a wasl (the letter after it silent) or a long vowel (the letter
// after it moving); both stay open, each with the letter after the alif.
TEST(ProsodicWriting, APrefixBeforeABareAlifKeepsBothReadings)
{
    const std::vector<Slot> row = prosodicWriting(QString::fromUtf8("فاسقني"));
    ASSERT_GE(row.size(), 2u);
    std::vector<std::string> second;
    for (const Reading& r : row[1])
        second.push_back(patternOf(r));
    EXPECT_EQ(second, (std::vector<std::string>{"01", "0"}));
}

// A doubled last letter ends the hemistich drawn out (جَرْرَا) or, the rhyme held silent, as one
// silent letter (جَرْ), never as two.
TEST(ProsodicWriting, ADoubledRhymeLetterIsHeldAsOne)
{
    const std::vector<Slot> row = prosodicWriting(QString::fromUtf8("فَتْحًا وَجَرّ"));
    ASSERT_FALSE(row.empty());
    std::vector<std::string> last;
    for (const Reading& r : row.back())
        last.push_back(patternOf(r));
    EXPECT_EQ(last, (std::vector<std::string>{"010", "0"}));
}

// A bare letter may be moving, silent or doubled; each reading stays open for the meter to
// choose, and a fully vowelled one has a single reading.
TEST(ProsodicWriting, BareLettersKeepTheirReadingsOpen)
{
    const std::vector<Slot> bare = prosodicWriting(QString::fromUtf8("نقش"));
    const std::vector<Slot> vowelled = prosodicWriting(QString::fromUtf8("نَقْشَ"));
    ASSERT_EQ(bare.size(), 3u);
    ASSERT_EQ(vowelled.size(), 3u);
    auto readings = [](const Slot& slot) {
        std::vector<std::string> all;
        for (const Reading& r : slot)
            all.push_back(patternOf(r));
        return all;
    };
    EXPECT_EQ(readings(bare[0]), std::vector<std::string>{"1"});  // a word opens moving
    EXPECT_EQ(readings(bare[1]), (std::vector<std::string>{"1", "0", "01"}));
    EXPECT_EQ(readings(vowelled[1]), std::vector<std::string>{"0"});

    // After a long alif a letter cannot be silent: two silent letters never meet inside a word.
    const std::vector<Slot> afterAlif = prosodicWriting(QString::fromUtf8("سائر"));
    ASSERT_EQ(afterAlif.size(), 4u);
    EXPECT_EQ(readings(afterAlif[2]), (std::vector<std::string>{"1", "01"}));

    // Two letters after the article, in a word the lexicon does not know, are mostly a doubled
    // root (الضرّ): the doubled reading of the last is nearly as likely as the plain one, and
    // likelier than a held rhyme.
    const std::vector<Slot> doubled = prosodicWriting(QString::fromUtf8("الضر"));
    ASSERT_EQ(doubled.size(), 4u);
    float doubledCost = 99, heldCost = 99;
    for (const Reading& r : doubled[3]) {
        if (patternOf(r) == "010")
            doubledCost = r.cost;
        if (patternOf(r) == "0")
            heldCost = r.cost;
    }
    EXPECT_LT(doubledCost, heldCost);
}

// The measures مُفَعِّل، تَفَعُّل and مُتَفَعِّل lose their shadda in bare text more than any other word shape:
// their third letter's doubled reading is cheap, alone, after the article or a prefix, and stays
// dear in a word of another shape (نكنس).
TEST(ProsodicWriting, TheShaddaOfDoubledMeasuresIsCheapWhenLeftOut)
{
    auto doubledCost = [](const char* word, size_t letter) {
        const std::vector<Slot> row = prosodicWriting(QString::fromUtf8(word));
        EXPECT_GT(row.size(), letter) << word;
        for (const Reading& r : row.at(letter))
            if (patternOf(r) == "01")
                return r.cost;
        return 99.0f;
    };
    const float plain = doubledCost("نكنس", 2);
    for (const auto& [word, letter] : std::vector<std::pair<const char*, size_t>>{
             {"معلم", 2}, {"المعلم", 4}, {"تجهم", 2}, {"وتجلدي", 3}, {"متردم", 3}, {"يتكلم", 3},
             {"المتمني", 5}})
        EXPECT_LT(doubledCost(word, letter) + 0.5f, plain) << word;
}

// Bare words the lexicon knows, through the letters joined to them: each read as its likeliest
// reading, the last vowel of the hemistich drawn out.
const Case kKnownWords[] = {
    {"فؤاد", "11010", "a known word: its hamza and long vowel"},
    {"أحبتي", "110110", "the shadda bare text drops, and the pronoun ي"},
    {"دموعي", "11010", "a broken plural with the pronoun ي"},
    {"سيوفنا", "110110", "... with نا"},
    {"قلوبهم", "1101110", "... with هم: its mim drawn out at the end"},
    {"ليلتها", "101110", "the feminine ة written ت before a pronoun"},
    {"دمعا", "1010", "the alif of a tanween"},
    {"وبالدمع", "1101010", "two prefixes before the article: its alif not said"},
    {"بقلبها", "110110", "a common word with a prefix and a pronoun"},
    {"والليل", "101010", "... with a prefix and the article"},
    {"كالبدر", "101010", "a prefix before the article"},
    {"والديار", "1011010", "the article before a sun letter"},
    {"للعاشقين", "101011010", "لِ before the article and the plural's ين"},
    {"فتذكرت", "11101010", "a prefix, a verb with its shadda, the verb's own pronoun"},
    {"سيذهبون", "11011010", "the future's س before a present verb and its plural"},
    {"واصبر", "10110", "a bare alif after a prefix: the imperative's wasl, not a hamza"},
    {"وقتك", "10110", "a split the lexicon knows comes first ..."},
    {"بحر", "1010", "... but a word known whole is not split (not بِ + حُرّ)"},
    {"وجه", "1010", "... nor is a word whose last letters look like a pronoun (not و + جه)"},
    {"وجهه", "10110", "... while its own pronoun is taken off"},
};

TEST(ProsodicWriting, KnownWordsReadThroughTheirPrefixesAndSuffixes)
{
    expectEachSaid(kKnownWords);
}

// A word split through its suffix may be another word the lexicon lacks: the letters as written
// stay a choice, and a word vowelled in part keeps the readings its marks allow.
TEST(ProsodicWriting, ALexiconReadingNeverShutsOutTheWrittenLetters)
{
    auto patterns = [](const char* text) {
        std::vector<std::string> all;
        for (const Slot& slot : prosodicWriting(QString::fromUtf8(text)))
            for (const Reading& r : slot)
                all.push_back(patternOf(r));
        return all;
    };
    // وَقَتْكَ (the verb وقى) as well as وَقْتُكَ.
    const std::vector<std::string> split = patterns("وقتك");
    EXPECT_NE(std::find(split.begin(), split.end(), "11010"), split.end());
    EXPECT_NE(std::find(split.begin(), split.end(), "10110"), split.end());
    // Read through the article and a prefix only, the word is taken as the lexicon spells it:
    // one reading a letter (the doubled shin of العشّاق among them) but the last, whose ending
    // the scanner chooses at the hemistich's end.
    const std::vector<Slot> sure = prosodicWriting(QString::fromUtf8("والعشاق"));
    ASSERT_EQ(sure.size(), 6u);
    EXPECT_EQ(patternOf(sure[3].front()), "01");
    for (size_t i = 0; i + 1 < sure.size(); ++i)
        EXPECT_EQ(sure[i].size(), 1u) << i;
    // A mark that contradicts every reading leaves the word as written: ذَهَبُ is the noun.
    EXPECT_EQ(likeliestPattern(QString::fromUtf8("ذَهَبُ")), "1110");
    EXPECT_EQ(likeliestPattern(QString::fromUtf8("قَلْبُهُ")), "10110");
}

// The habits of printed pages: each verse (hemistichs apart by a TAB) is read with the pattern
// of each hemistich as it is said, whatever the page did to its letters.
struct PrintedCase {
    const char* text;
    const char* said;  // the hemistichs' patterns, apart by " / "
    const char* habit;
};

const PrintedCase kPrinted[] = {
    {"عَـنْكِ سَلْمَـى", "1011010", "a tatweel inside a word is only a stretch of the line"},
    {"و لا تَلُمْ", "110110", "the conjunction written apart is said with the next word"},
    {"و اذْكُرْ", "1010", "... before a hamzat al-wasl too"},
    {"يَاْ غَرَاْمَاً", "1011010", "a sukun on a long vowel's letter is the long vowel"},
    {"رَأَيْتُ فَتَاً", "1101110", "the tanween written after the alif"},
    {"رَأَيْتُ فَتًا", "1101110", "... and before it"},
    {"مَنْ أَنْتَ؟ قُلْ، يَا: فَتَى", "101011010110", "question marks, commas and colons are passed over"},
    {"أَلا لَا", "11010", "the hamza's seat tells أَلا from إِلّا"},
    {"إِلا لَا", "101010", "... and إِلّا from أَلا, its shadda left out"},
    {"إَلا لَا", "101010", "a mark that disagrees with its seat does not overrule it"},
    {"مَنْ يَغْتَـ\tـرُّ بِهِ", "101010 / 1110", "a doubled letter cut by the border gives its silent half to the first hemistich"},
    {"مَنْ يَغْتَـ\tرُّ بِهِ", "101010 / 1110", "... the tatweel written on one side only"},
    {"أَرْضٌ بِالْـ\tـحَقِّ", "101010 / 1010", "the article cut from its word"},
};

TEST(ProsodicWriting, ReadsTheHabitsOfPrintedPages)
{
    for (const PrintedCase& c : kPrinted) {
        std::vector<QString> halves;
        for (const QString& half : QString::fromUtf8(c.text).split(u'\t'))
            halves.push_back(half);
        std::string said;
        for (const std::vector<Slot>& row : prosodicWriting(halves)) {
            if (!said.empty())
                said += " / ";
            for (const Slot& slot : row)
                said += patternOf(*std::min_element(slot.begin(), slot.end(), [](const Reading& a, const Reading& b) {
                    return a.cost < b.cost;
                }));
        }
        EXPECT_EQ(said, c.said) << c.text << ": " << c.habit;
    }
}

}  // namespace
}  // namespace barqeen::prosody
