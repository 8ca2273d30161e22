// The scanner on classical verses as the books print them, each with the meter it is known by.
// Prints the figures per meter; a wrong name counts against it more than an unknown one.
#include "prosody/meter_finder.h"
#include "prosody/meter_rules.h"
#include "prosody/prosodic_writing.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace barqeen::prosody {
namespace {

struct Example {
    QString meter, verse;
};

std::vector<Example> classicalVerses()
{
    QFile file(QStringLiteral(PROSODY_TESTS_DIR "/classical_verses.tsv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<Example> verses;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        verses.push_back({line.left(tab), line.mid(tab + 1)});
    }
    return verses;
}

QString bare(QString text)
{
    static const QRegularExpression marks(QStringLiteral("[\\x{064B}-\\x{0652}]"));
    return text.remove(marks);
}

struct Tally {
    int right = 0, wrong = 0, unknown = 0;
    int total() const { return right + wrong + unknown; }
};

Tally score(const std::vector<Example>& verses, bool stripMarks, bool show)
{
    std::map<QString, Tally> perMeter;
    Tally all;
    for (const Example& e : verses) {
        const Scansion s = scanVerse(stripMarks ? bare(e.verse) : e.verse);
        Tally& t = perMeter[e.meter];
        const QString named = QString::fromUtf8(meterName(s.meter).data(), int(meterName(s.meter).size()));
        if (!s.known) {
            ++t.unknown, ++all.unknown;
        } else if (named == e.meter) {
            ++t.right, ++all.right;
        } else {
            ++t.wrong, ++all.wrong;
        }
        if (show && !(s.known && named == e.meter)) {
            const QString verse = stripMarks ? bare(e.verse) : e.verse;
            std::printf("  %s | %s -> %s\n", qPrintable(e.meter), qPrintable(verse), describe(s).c_str());
            for (const QString& half : hemistichsOf(verse))
                std::printf("     %s\n", likeliestPattern(half).c_str());
            int shown = 0;
            for (const MeterFit& f : meterFits(verse)) {
                if (shown++ == 3)
                    break;
                Scansion as{true, f.meter, f.shape, f.feet};
                std::printf("     %.2f %s\n", f.cost, describe(as).c_str());
            }
        }
    }
    for (const auto& [meter, t] : perMeter)
        std::printf("%-12s right %2d  wrong %2d  unknown %2d  of %2d\n", qPrintable(meter), t.right,
                    t.wrong, t.unknown, t.total());
    std::printf("all: right %d (%.0f%%), wrong %d (%.0f%%), unknown %d, of %d\n", all.right,
                100.0 * all.right / all.total(), all.wrong, 100.0 * all.wrong / all.total(),
                all.unknown, all.total());
    return all;
}

TEST(ClassicalVerses, NamedRightOrLeftUnknownNeverOftenWrong)
{
    const std::vector<Example> verses = classicalVerses();
    ASSERT_GE(verses.size(), 16u);
    const bool show = qEnvironmentVariableIsSet("PROSODY_SHOW_MISSES");
    std::printf("As printed:\n");
    const Tally printed = score(verses, false, show);
    std::printf("Without any mark:\n");
    const Tally stripped = score(verses, true, show);
    // A wrong name is worse than none: at most 3 in 100. The share named right is held where the
    // scanner stands today, so a change that loses verses shows here.
    EXPECT_LE(printed.wrong * 100, 3 * printed.total());
    EXPECT_LE(stripped.wrong * 100, 3 * stripped.total());
    EXPECT_GE(printed.right * 100, 75 * printed.total());
    EXPECT_GE(stripped.right * 100, 60 * stripped.total());
}

}  // namespace
}  // namespace barqeen::prosody
