// The scansion in detail: the feet with the words they cover and their changes; for a verse
// broken on purpose, the closest meter and the foot where it leaves it; a poem's one meter.
#include "core/prosody/scansion_detail.h"

#include <gtest/gtest.h>

namespace barqeen::prosody {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

struct Broken {
    const char* verse;
    Meter closest;
    int hemistich, foot;
};

const Broken kBroken[] = {
    // a word put in the first hemistich, then one in the second
    {"قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ قَدِيمٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ", Meter::Tawil, 0, 3},
    {"قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ وَالْحَوْمَلِ الْبَعِيدِ", Meter::Tawil, 1, 3},
};

TEST(ScansionDetail, ABrokenVerseShowsTheClosestMeterAndWhereItLeavesIt)
{
    for (const Broken& b : kBroken) {
        const VerseDetail d = scanInDetail(u(b.verse));
        EXPECT_FALSE(d.scansion.known) << b.verse;
        EXPECT_TRUE(d.closestKnown && d.closest == b.closest) << b.verse;
        EXPECT_EQ(d.breaksInHemistich, b.hemistich) << b.verse;
        EXPECT_EQ(d.breaksAtFoot, b.foot) << b.verse;
    }
}

TEST(ScansionDetail, EachFootCoversItsWordsAndNamesItsChange)
{
    const VerseDetail d = scanInDetail(u("لِخَوْلَةَ أَطْلَالٌ بِبُرْقَةِ ثَهْمَدِ\tتَلُوحُ كَبَاقِي الْوَشْمِ فِي ظَاهِرِ الْيَدِ"));
    ASSERT_TRUE(d.scansion.known);
    ASSERT_EQ(d.hemistichs.size(), 2u);
    const std::vector<FootDetail>& feet = d.hemistichs[0].feet;
    ASSERT_EQ(feet.size(), 4u);
    // لِخَوْلَ | ةَ أَطْلَالٌ: the word shared by two feet is marked cut on each side.
    EXPECT_EQ(std::string(feet[0].name), "فعول");
    EXPECT_EQ(feet[0].change, "قبض");
    EXPECT_EQ(feet[0].text, u("لخولةـ"));
    EXPECT_EQ(std::string(feet[1].name), "مفاعيلن");
    EXPECT_EQ(feet[1].change, "");
    EXPECT_EQ(feet[1].text, u("ـلخولة أطلال"));
    EXPECT_EQ(feet[3].change, "قبض");
    EXPECT_EQ(d.hemistichs[0].pattern, "110111010101101110110");
    for (const auto& [sound, scanned, last, name] : {std::tuple{"مستفعلن", "مفاعلن", false, "خبن"},
                                                      std::tuple{"متفاعلن", "مستفعلن", false, "إضمار"},
                                                      std::tuple{"مفاعلتن", "مفاعيلن", false, "عصب"},
                                                      std::tuple{"فاعلاتن", "فاعلن", true, "حذف"},
                                                      std::tuple{"فاعلاتن", "فعلاتن", false, "خبن"}})
        EXPECT_EQ(changeName(sound, scanned, last), name) << sound << " " << scanned;
}

}  // namespace
}  // namespace barqeen::prosody
