// Naming the meter of textbook verses, fully vowelled, partly vowelled (as collections print
// them) and bare; and naming none for prose and for a verse broken on purpose.
#include "core/prosody/meter_finder.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace barqeen::prosody {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

QString bare(QString text)
{
    static const QRegularExpression marks(QStringLiteral("[\\x{064B}-\\x{0652}]"));
    return text.remove(marks);
}

struct Textbook {
    Meter meter;
    const char* vowelled;
    const char* partly;
    const char* feet;  // as scanned from the vowelled text: first hemistich / second
};

const Textbook kTextbook[] = {
    {Meter::Tawil, "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ",
     "قفا نبك من ذكرى حبيبٍ ومنزلِ\tبسقطِ اللوى بين الدخول فحوملِ",
     "فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعول مفاعلن"},
    {Meter::Basit, "الْخَيْلُ وَاللَّيْلُ وَالْبَيْدَاءُ تَعْرِفُنِي\tوَالسَّيْفُ وَالرُّمْحُ وَالْقِرْطَاسُ وَالْقَلَمُ",
     "الخيلُ والليل والبيداءُ تعرفني\tوالسيف والرمح والقرطاس والقلمُ",
     "مستفعلن فاعلن مستفعلن فعلن / مستفعلن فاعلن مستفعلن فعلن"},
    {Meter::Kamil, "لَا يَسْلَمُ الشَّرَفُ الرَّفِيعُ مِنَ الْأَذَى\tحَتَّى يُرَاقَ عَلَى جَوَانِبِهِ الدَّمُ",
     "لا يسلمُ الشرفُ الرفيعُ من الأذى\tحتى يُراقَ على جوانبه الدمُ",
     "مستفعلن متفاعلن متفاعلن / مستفعلن متفاعلن متفاعلن"},
    {Meter::Mutaqarib, "إِذَا الشَّعْبُ يَوْمًا أَرَادَ الْحَيَاةَ\tفَلَا بُدَّ أَنْ يَسْتَجِيبَ الْقَدَرْ",
     "إذا الشعب يوماً أراد الحياةَ\tفلا بدّ أن يستجيب القدرْ",
     "فعولن فعولن فعولن فعولن / فعولن فعولن فعولن فعل"},
    {Meter::Wafir, "إِذَا بَلَغَ الْفِطَامَ لَنَا صَبِيٌّ\tتَخِرُّ لَهُ الْجَبَابِرُ سَاجِدِينَا",
     "إذا بلغ الفطامَ لنا صبيٌّ\tتخرّ له الجبابرُ ساجدينا",
     "مفاعلتن مفاعلتن فعولن / مفاعلتن مفاعلتن فعولن"},
    {Meter::Mutadarik, "جَاءَنَا عَامِرٌ سَالِمًا صَالِحًا\tبَعْدَ مَا كَانَ مَا كَانَ مِنْ عَامِرِ",
     "جاءنا عامرٌ سالمًا صالحا\tبعد ما كان ما كان من عامرِ",
     "فاعلن فاعلن فاعلن فاعلن / فاعلن فاعلن فاعلن فاعلن"},
};

TEST(MeterFinder, TextbookVersesVowelledPartlyAndBare)
{
    for (const Textbook& t : kTextbook) {
        const Scansion full = scanVerse(u(t.vowelled));
        ASSERT_TRUE(full.known) << t.vowelled;
        EXPECT_EQ(full.meter, t.meter) << t.vowelled;
        EXPECT_EQ(describe(full), std::string(meterName(t.meter)) + " (" +
                                      std::string(shapeName(full.shape)) + "): " + t.feet);
        for (const QString& form : {u(t.partly), bare(u(t.vowelled))}) {
            const Scansion s = scanVerse(form);
            EXPECT_TRUE(s.known && s.meter == t.meter) << qPrintable(form) << " -> " << describe(s);
        }
    }
}

TEST(MeterFinder, TheVerseAsTheProgramHoldsItOnTwoLines)
{
    // Windows-1256, hemistichs joined by CR LF: قفا نبك من ذكرى حبيب ومنزل / بسقط اللوى بين الدخول فحومل
    const Scansion s = scanVerseBytes("\xDE\xDD\xC7 \xE4\xC8\xDF \xE3\xE4 \xD0\xDF\xD1\xEC \xCD\xC8\xED\xC8 "
                                      "\xE6\xE3\xE4\xD2\xE1\r\n\xC8\xD3\xDE\xD8 \xC7\xE1\xE1\xE6\xEC \xC8\xED\xE4 "
                                      "\xC7\xE1\xCF\xCE\xE6\xE1 \xDD\xCD\xE6\xE3\xE1");
    EXPECT_TRUE(s.known && s.meter == Meter::Tawil) << describe(s);
    EXPECT_EQ(s.feet.size(), 2u);
}

// A word cut by the hemistichs' border (a verse مدوّر), printed with a tatweel at the cut: the
// first part ends inside the word, with no vowel drawn out, and the second goes on with it.
TEST(MeterFinder, AVerseWhoseHemistichsCutAWord)
{
    const QString verse = u("صاح هذي قبورنا تملأ الرحـ\tـب فأين القبور من عهد عاد");
    for (const QString& form : {verse, bare(verse)}) {
        const Scansion s = scanVerse(form);
        EXPECT_TRUE(s.known && s.meter == Meter::Khafif) << qPrintable(form) << " -> " << describe(s);
    }
}

// Pages set the cut a letter or two off where the meter divides the word (بِهِ الْـ / ـعَيْنانِ
// for بِهِ الْعَيْـ / ـنانِ): the verse is still its meter, the cut read where the feet put it.
TEST(MeterFinder, AWordCutAcrossTheHemistichsAtAnotherLetter)
{
    const Scansion s = scanVerse(u("مَا لِمَا قَرَّتْ بِهِ الْـ\tـعَيْنَانِ مِنْ هَذَا ثَمَنْ"));
    EXPECT_TRUE(s.known && s.meter == Meter::Ramal && s.shape == Shape::Shortened) << describe(s);
    const std::vector<MeterFit> fits = meterFits(u("مَا لِمَا قَرَّتْ بِهِ الْـ\tـعَيْنَانِ مِنْ هَذَا ثَمَنْ"));
    ASSERT_FALSE(fits.empty());
    EXPECT_EQ(fits[0].footPatterns[0].size(), 2u);  // فاعلاتن فاعلاتن, the عَيْ in the first
}

// A و or ي left bare between marked letters, after its own vowel, is the long vowel the writer
// saw no need to mark: the foot is read as written (the معصوب ending of مجزوء الوافر), not as a
// sound foot by a consonant the text does not say.
TEST(MeterFinder, ABareLongVowelAmongMarkedLettersIsNotReadAsAConsonant)
{
    const Scansion s = scanVerse(u("أُعَاتِبُهَا وَآمُرُهَا\tفَتُغْضِبُنِي وَتَعْصِينِي"));
    ASSERT_TRUE(s.known && s.meter == Meter::Wafir) << describe(s);
    ASSERT_EQ(s.feet.size(), 2u);
    EXPECT_EQ(s.feet[1].back(), "مفاعيلن") << describe(s);
}

// Bare verses of the seldom used meters that a common meter fits a little better by readings the
// marks would have ruled out: the scanner may name the right meter or none, never the common one.
TEST(MeterFinder, ASeldomUsedMeterCloseBehindInBareTextLeavesTheCommonOneUnnamed)
{
    const struct {
        Meter meter;
        const char* verse;
    } closeCalls[] = {
        {Meter::Madid, "سنة العشاق واحدة\tفإذا أحببت فاستكن"},
        {Meter::Madid, "إن بالشعب الذي دون سلع\tلقتيلا دمه ما يطل"},
        {Meter::Muqtadab, "حف كأسها الحبب\tفهي فضة ذهب"},
    };
    for (const auto& c : closeCalls) {
        const Scansion s = scanVerse(u(c.verse));
        EXPECT_TRUE(!s.known || s.meter == c.meter) << c.verse << " -> " << describe(s);
    }
}

// A verse copied from a printed page has its hemistichs set apart by stars or a wide gap.
TEST(MeterFinder, ReadsTheHemistichsAsPrintedPagesSetThemApart)
{
    const char* tawil[] = {
        "قفا نبك من ذكرى حبيبٍ ومنزلِ *** بسقطِ اللوى بين الدخول فحوملِ",
        "قفا نبك من ذكرى حبيبٍ ومنزلِ ٭ بسقطِ اللوى بين الدخول فحوملِ",
        "قفا نبك من ذكرى حبيبٍ ومنزلِ     بسقطِ اللوى بين الدخول فحوملِ",
    };
    for (const char* verse : tawil) {
        const QString text = u(verse);
        EXPECT_EQ(hemistichsOf(text).size(), 2u) << verse;
        const Scansion s = scanVerse(text);
        EXPECT_TRUE(s.known && s.meter == Meter::Tawil) << verse << " -> " << describe(s);
    }
    // A line break or a TAB is the program's own border: stars inside a hemistich then stay in it.
    EXPECT_EQ(hemistichsOf(u("قفا نبك * من ذكرى\tبسقط اللوى")).size(), 2u);
    // One hemistich with single spaces is one hemistich.
    EXPECT_EQ(hemistichsOf(u("قفا نبك من ذكرى حبيب ومنزل")).size(), 1u);
}

TEST(MeterFinder, NamesNoMeterForProseOrABrokenVerse)
{
    const char* notVerses[] = {
        // prose
        "ذهبت إلى السوق في الصباح لأشتري خبزا وحليبا\tثم عدت إلى البيت قبل الظهر",
        "تقع المدينة على ضفة النهر الشرقية\tويسكنها نحو مليون نسمة",
        "ذهبت إلى السوق في الصباح\tثم عدت إلى البيت",  // short: fits a meter only by unlikely readings
        // a verse of الطويل with a word added to each hemistich
        "قفا نبك من ذكرى حبيب ومنزل قديم\tبسقط اللوى بين الدخول فحومل البعيد",
        // the same, vowelled, with a word dropped from each
        "قِفَا مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ فَحَوْمَلِ",
        // its words in the reverse order
        "ومنزل حبيب ذكرى من نبك قفا\tفحومل الدخول بين اللوى بسقط",
        "",
        "\t",
    };
    for (const char* text : notVerses) {
        const Scansion s = scanVerse(u(text));
        EXPECT_FALSE(s.known) << text << " -> " << describe(s);
        EXPECT_EQ(describe(s), kUnknownMeter);
    }
}

// A verse that is the same feet under two meters is given both names, the likelier first; one
// with a foot only one of them allows keeps its single name.
struct Pair {
    const char* verse;
    const char* described;  // the names before the feet
};

const Pair kPairs[] = {
    {"عَلَى الْأَهْزَاجِ تَسْهِيلُ\tمَفَاعِيلُنْ مَفَاعِيلُ", "الهزج أو مجزوء الوافر"},
    {"صَفَحْنَا عَنْ بَنِي ذُهْلٍ\tوَقُلْنَا الْقَوْمُ إِخْوَانُ", "الهزج أو مجزوء الوافر"},
    {"صفحنا عن بني ذهل\tوقلنا القوم إخوان", "الهزج أو مجزوء الوافر"},
    {"فِي أَبْحُرِ الْأَرْجَازِ بَحْرٌ يَسْهُلُ\tمُسْتَفْعِلُنْ مُسْتَفْعِلُنْ مُسْتَفْعِلُ", "الرجز أو الكامل"},
    {"لَا يَسْلَمُ الشَّرَفُ الرَّفِيعُ مِنَ الْأَذَى\tحَتَّى يُرَاقَ عَلَى جَوَانِبِهِ الدَّمُ", "الكامل (تام)"},
    {"لِخَوْلَةَ أَطْلَالٌ بِبُرْقَةِ ثَهْمَدِ\tتَلُوحُ كَبَاقِي الْوَشْمِ فِي ظَاهِرِ الْيَدِ", "الطويل (تام)"},
};

TEST(MeterFinder, NamesBothMetersWhenTheVerseIsTheSameFeetUnderEach)
{
    for (const Pair& p : kPairs) {
        const Scansion s = scanVerse(u(p.verse));
        const std::string text = describe(s);
        EXPECT_EQ(text.substr(0, text.find(':')), p.described) << p.verse;
        EXPECT_EQ(s.ambiguous, std::string(p.described).find(" أو ") != std::string::npos) << p.verse;
        EXPECT_FALSE(s.ambiguous && s.known) << p.verse;
    }
}

// Marks never make a clear verse unknown: the same verse fully vowelled (the way poetry sites print
// it, with no shadda after the article on a sun letter) and bare.
TEST(MeterFinder, MarksNeverHideAMeterTheBareTextShows)
{
    const char* verses[] = {
        "أَلا في سَبيلِ المَجدِ ما أَنا فاعِلُ\tعَفافٌ وَإِقدامٌ وَحَزمٌ وَنائِلُ",
        "قِفا نَبكِ مِن ذِكرى حَبيبٍ وَمَنزِلِ\tبِسِقطِ اللِوى بَينَ الدَخولِ فَحَومَلِ",
    };
    for (const char* verse : verses) {
        const Scansion vowelled = scanVerse(u(verse));
        EXPECT_TRUE(vowelled.known && vowelled.meter == Meter::Tawil) << verse << " -> " << describe(vowelled);
        const Scansion plain = scanVerse(bare(u(verse)));
        EXPECT_TRUE(plain.known && plain.meter == Meter::Tawil) << verse << " -> " << describe(plain);
    }
}

}  // namespace
}  // namespace barqeen::prosody
