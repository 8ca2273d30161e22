// `barqeen meter`, run as a script runs it: verses on standard input or in files, one line of
// meter and feet a verse; it reads no table, so it runs while the program holds its folder.
#include "exchange_fixture.h"

#include <QLockFile>
#include <QProcess>

#include <filesystem>
#include <functional>

using namespace barqeen;
using namespace barqeen::test;

namespace {

struct Printed {
    int code = -1;
    QString out, err;
};

Printed meter(const std::string& program, const QStringList& args, const QByteArray& input,
          const std::string& workDir)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(workDir));
    process.start(QString::fromStdString(program), QStringList{QStringLiteral("meter")} + args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const char* const kTawil = "فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعول مفاعلن";

TEST(MeterCommand, NamesEachVerseFromStandardInputAndFilesWhileTheProgramHoldsItsFolder)
{
    TempFolder folder, work;
    const std::string program = folder.file("barqeen");
    std::filesystem::copy_file(BARQEEN_EXECUTABLE, program);
    QLockFile running(QString::fromStdString(folder.file("Barqeen.lock")));
    ASSERT_TRUE(running.tryLock(0));  // the program runs on its folder

    // A TAB between the hemistichs, or the two hemistichs on two lines; prose names no meter; a
    // verse copied from print with stars between its hemistichs is one verse.
    const Printed fromInput = meter(program, {},
                                "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n"
                                "\n"
                                "الخيلُ والليل والبيداءُ تعرفني\r\n"
                                "والسيف والرمح والقرطاس والقلمُ\r\n"
                                "\n"
                                "ذهبت إلى السوق في الصباح\tثم عدت إلى البيت\n"
                                "قفا نبك من ذكرى حبيبٍ ومنزلِ *** بسقطِ اللوى بين الدخول فحوملِ\n",
                                work.path());
    EXPECT_EQ(fromInput.code, 0) << qPrintable(fromInput.err);
    EXPECT_EQ(fromInput.out, QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n' +
                                 QStringLiteral("البسيط (تام): مستفعلن فاعلن مستفعلن فعلن / مستفعلن فاعلن مستفعلن فعلن\n"
                                                "غير معروف\n") +
                                 QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n');

    writeFile(work.file("verses.txt"), "قفا نبك من ذكرى حبيبٍ ومنزلِ\tبسقطِ اللوى بين الدخول فحوملِ\n");
    const Printed fromFiles = meter(program, {QStringLiteral("verses.txt"), QStringLiteral("missing.txt")}, {},
                                work.path());
    EXPECT_EQ(fromFiles.code, 1);  // one file could not be read
    EXPECT_EQ(fromFiles.out, QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil) + u'\n');
    EXPECT_TRUE(fromFiles.err.contains(QStringLiteral("missing.txt")));
}

// Each line that carries a TAB is one verse: two lines of one hemistich each (their second field
// empty) are two verses of one hemistich, never paired as one.
TEST(MeterCommand, ALineWithATabIsOneVerseAndAOneHemistichVerseIsNamedSo)
{
    TempFolder work;
    const Printed printed = meter(BARQEEN_EXECUTABLE, {},
                                  "الحمدُ للهِ العليِّ الأجللِ\t\n"
                                  "يا ليتني فيها جَذَعْ\t\n"
                                  "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n",
                                  work.path());
    EXPECT_EQ(printed.code, 0) << qPrintable(printed.err);
    const QStringList lines = printed.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << qPrintable(printed.out);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("الرجز (مشطور)"))) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("الرجز (منهوك)"))) << qPrintable(lines[1]);
    EXPECT_EQ(lines[2], QStringLiteral("الطويل (تام): ") + QString::fromUtf8(kTawil));
}

// --scan shows each hemistich's words as said, the strokes and circles, and each foot with the
// words it covers and its change; --poem names the poem's meter and the verses that do not fit.
TEST(MeterCommand, ScanShowsTheFeetAndPoemNamesTheVersesThatDoNotFit)
{
    TempFolder work;
    const Printed scanned = meter(BARQEEN_EXECUTABLE, {QStringLiteral("--scan")},
                                  "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n",
                                  work.path());
    EXPECT_EQ(scanned.code, 0) << qPrintable(scanned.err);
    EXPECT_TRUE(scanned.out.contains(QStringLiteral("//o/o //o/o/o //o/o //o//o"))) << qPrintable(scanned.out);
    for (const char* shown : {"  الشطر الأول: قفا(110) نبك(101) من(10) ذكرى(1010) حبيب(11010) ومنزل(110110)\n",
                              "    فعولن \u2068قفا نبكـ\u2069\n", "    مفاعيلن \u2068ـنبك من ذكرى\u2069\n",
                              "    مفاعلن \u2068ومنزل\u2069 (قبض)\n", "    //o/o //o/o/o //o/ //o//o\n",
                              "    فعول \u2068ـالدخول\u2069 (قبض)\n"})
        EXPECT_TRUE(scanned.out.contains(QString::fromUtf8(shown))) << shown << "\n" << qPrintable(scanned.out);

    writeFile(work.file("poem.txt"),
              "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n"
              "وَلَيْلٍ كَمَوْجِ الْبَحْرِ أَرْخَى سُدُولَهُ\tعَلَيَّ بِأَنْوَاعِ الْهُمُومِ لِيَبْتَلِي\n"
              "إِذَا الشَّعْبُ يَوْمًا أَرَادَ الْحَيَاةَ\tفَلَا بُدَّ أَنْ يَسْتَجِيبَ الْقَدَرْ\n"
              "أَلَا أَيُّهَا اللَّيْلُ الطَّوِيلُ أَلَا انْجَلِي\tبِصُبْحٍ وَمَا الْإِصْبَاحُ مِنْكَ بِأَمْثَلِ\n");
    const Printed poem = meter(BARQEEN_EXECUTABLE, {QStringLiteral("--poem"), QStringLiteral("poem.txt")}, {}, work.path());
    EXPECT_EQ(poem.code, 0) << qPrintable(poem.err);
    const QStringList lines = poem.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(poem.out);
    EXPECT_EQ(lines[0], QStringLiteral("القصيدة: الطويل (3 من 4 بيتًا)"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("  لا يوافقه البيت 3: "))) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("المتقارب (تام): فعولن فعولن فعولن فعولن / فعولن فعولن فعولن فعل")))
        << qPrintable(lines[1]);

    const Printed missing = meter(BARQEEN_EXECUTABLE, {QStringLiteral("--poem"), QStringLiteral("none.txt")}, {}, work.path());
    EXPECT_EQ(missing.code, 1);
}

// --table counts the verse table's verses per meter, keeping the meters in Poem.meters beside the
// tables: a second run reads them, a lost or damaged file is made again, the answer the same.
TEST(MeterCommand, TableCountsTheVersesOfEachMeter)
{
    TempFolder data, work;
    writeFile(work.file("poems.txt"),
              "قِفَا نَبْكِ مِنْ ذِكْرَى حَبِيبٍ وَمَنْزِلِ\tبِسِقْطِ اللِّوَى بَيْنَ الدَّخُولِ فَحَوْمَلِ\n"
              "وَلَيْلٍ كَمَوْجِ الْبَحْرِ أَرْخَى سُدُولَهُ\tعَلَيَّ بِأَنْوَاعِ الْهُمُومِ لِيَبْتَلِي\n"
              "إِذَا الشَّعْبُ يَوْمًا أَرَادَ الْحَيَاةَ\tفَلَا بُدَّ أَنْ يَسْتَجِيبَ الْقَدَرْ\n"
              "أَلَا أَيُّهَا اللَّيْلُ الطَّوِيلُ أَلَا انْجَلِي\tبِصُبْحٍ وَمَا الْإِصْبَاحُ مِنْكَ بِأَمْثَلِ\n"
              "الخيلُ والليل والبيداءُ تعرفني\tوالسيف والرمح والقرطاس والقلمُ\n"
              "ذهبت إلى السوق في الصباح\tثم عدت إلى البيت\n");
    const QString folder = QString::fromStdString(data.path());
    QProcess import;
    import.setWorkingDirectory(QString::fromStdString(work.path()));
    import.start(QStringLiteral(BARQEEN_EXECUTABLE),
                 {QStringLiteral("--data"), folder, QStringLiteral("import"), QStringLiteral("--no-report"), QStringLiteral("poems.txt")});
    ASSERT_TRUE(import.waitForFinished(60000));
    ASSERT_EQ(import.exitCode(), 0) << import.readAllStandardError().toStdString();

    const QStringList table = {QStringLiteral("--data"), folder, QStringLiteral("--table")};
    const QString expected = QStringLiteral(
        "الطويل\t3\nالمديد\t0\nالبسيط\t1\nالوافر\t0\nالكامل\t0\nالهزج\t0\nالرجز\t0\nالرمل\t0\n"
        "السريع\t0\nالمنسرح\t0\nالخفيف\t0\nالمضارع\t0\nالمقتضب\t0\nالمجتث\t0\nالمتقارب\t1\nالمتدارك\t0\n"
        "غير معروف\t1\nالأبيات\t6\n");
    const std::string kept = data.file("Poem.meters");
    struct Case {
        const char* what;
        std::function<void()> before;
    };
    const Case cases[] = {
        {"first run: every verse scanned", [] {}},
        {"second run: read from the kept file", [] {}},
        {"the kept file lost", [&] { std::filesystem::remove(kept); }},
        {"the kept file damaged", [&] { writeFile(kept, readFile(kept).substr(0, 60)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        const Printed counted = meter(BARQEEN_EXECUTABLE, table, {}, work.path());
        EXPECT_EQ(counted.code, 0) << qPrintable(counted.err);
        EXPECT_EQ(counted.out, expected);
        EXPECT_TRUE(std::filesystem::exists(kept));
    }

    // It reads the tables, so not while the program is open on them: it says so and changes nothing.
    {
        QLockFile running(QString::fromStdString(data.file("Barqeen.lock")));
        ASSERT_TRUE(running.tryLock(0));
        const Printed refused = meter(BARQEEN_EXECUTABLE, table, {}, work.path());
        EXPECT_EQ(refused.code, 3);
        EXPECT_TRUE(refused.out.isEmpty());
    }
    const Printed misused = meter(BARQEEN_EXECUTABLE, table + QStringList{QStringLiteral("poems.txt")}, {}, work.path());
    EXPECT_EQ(misused.code, 2);
}

}  // namespace
