// The program's commands, run as a script runs them: a copy of the program in a folder of its
// own, no display, the tables in that folder.
#include "app/option_messages.h"
#include "exchange_fixture.h"

#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace barqeen;
using namespace barqeen::test;

namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = folder.file("barqeen");
        std::filesystem::copy_file(BARQEEN_EXECUTABLE, program);
    }

    Outcome run(const QStringList& args, const std::string& in = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(in.empty() ? work.path() : in));
        process.start(QString::fromStdString(program), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    TempFolder folder;  // the program's own folder, where its tables are
    TempFolder work;    // where the script runs
    std::string program;
};

TEST_F(CommandLineTest, ImportAndExportWorkOnTheProgramsFolderWithoutADisplay)
{
    writeFile(work.file("poems.csv"), "text,poet\n"
                                      "على قدر أهل العزم تأتي العزائم,المتنبي\n"
                                      "عجبت لمن يخاف الفقر,\n"
                                      "كأنما ثغرها لؤلؤ,\n");
    writeFile(work.file("more.txt"), "عفت الديار محلها فمقامها\n");
    const Outcome imported = run({"import", "poems.csv", "more.txt"});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_NE(imported.out.find("الأبيات المستوردة: 2"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("الأبيات المستوردة: 1"), std::string::npos) << imported.out;
    EXPECT_TRUE(std::filesystem::exists(work.file("poems.csv.import-report.txt")));
    {
        PoemStore store(folder.path());
        store.OpenTables();
        EXPECT_EQ(store.cdsPoem.rowCount(), 3);
        EXPECT_EQ(storedVerse(store, 0).poet, "المتنبي");
        store.CloseTables();
    }

    const Outcome exported = run({"export", "--letter=ع", "out.tsv"});
    EXPECT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(readFile(work.file("out.tsv")), "\xEF\xBB\xBFtext\tpoet\tcategories\tfirst_letter\tlast_letter\r\n"
                                              "على قدر أهل العزم تأتي العزائم\tالمتنبي\t\tع\tم\r\n"
                                              "عجبت لمن يخاف الفقر\t\t\tع\tر\r\n"
                                              "عفت الديار محلها فمقامها\t\t\tع\tه\r\n");
}

TEST_F(CommandLineTest, TheStarterCollectionIsImportedOnceItsRepeatsRefusedTheSecondTime)
{
    const Outcome first = run({"import", "--starter"});
    EXPECT_EQ(first.code, 0) << first.err;
    int verses = 0;
    {
        PoemStore store(folder.path());
        store.OpenTables();
        verses = store.cdsPoem.rowCount();
        EXPECT_GE(verses, 3000);
        EXPECT_GE(store.cdsAuthors.rowCount(), 100);
        store.CloseTables();
    }
    EXPECT_NE(first.out.find("الأبيات المستوردة: " + std::to_string(verses)), std::string::npos) << first.out;
    // Into a table that holds them: every verse refused as a repeat, nothing added.
    const Outcome again = run({"import", "--starter"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("الأبيات المستوردة: 0"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("الأسطر المرفوضة: " + std::to_string(verses)), std::string::npos) << again.out;
    PoemStore store(folder.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsPoem.rowCount(), verses);
}

TEST_F(CommandLineTest, ExportWritesOverAFileOnlyWhenToldAndNeverOverTheTables)
{
    writeFile(work.file("poems.txt"), "عجبت لمن يخاف الفقر\n");
    ASSERT_EQ(run({"import", "poems.txt"}).code, 0);
    const std::string table = readFile(folder.file("Poem.cds"));
    for (const QStringList& args : {QStringList{"export", "Poem.cds"}, QStringList{"export", "--overwrite", "Poem.cds"}}) {
        const Outcome refused = run(args, folder.path());
        EXPECT_EQ(refused.code, 1) << refused.out;
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("ملفات جداول البرنامج"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(readFile(folder.file("Poem.cds")), table);

    writeFile(work.file("out.csv"), "old");
    const Outcome kept = run({"export", "out.csv"});
    EXPECT_EQ(kept.code, 1);
    EXPECT_NE(kept.err.find("--overwrite"), std::string::npos) << kept.err;
    EXPECT_EQ(readFile(work.file("out.csv")), "old");
    const Outcome written = run({"export", "--overwrite", "out.csv"});
    EXPECT_EQ(written.code, 0) << written.err;
    EXPECT_NE(readFile(work.file("out.csv")).find("عجبت لمن يخاف الفقر"), std::string::npos);
}

TEST_F(CommandLineTest, RefusedWhileTheProgramRunsOnTheFolder)
{
    QLockFile running(QString::fromStdString(folder.file("Barqeen.lock")));
    ASSERT_TRUE(running.tryLock(0));
    writeFile(work.file("poems.txt"), "عجبت لمن يخاف الفقر\n");
    for (const QStringList& args : {QStringList{"import", "poems.txt"}, QStringList{"export", "out.csv"}}) {
        const Outcome refused = run(args);
        EXPECT_EQ(refused.code, 3);
        EXPECT_NE(refused.err.find("يعمل الآن"), std::string::npos) << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("Poem.cds"))) << "the tables were not touched";
    EXPECT_FALSE(std::filesystem::exists(work.file("out.csv")));
}

TEST_F(CommandLineTest, ErrorsEndWithANonZeroCodeAndAMessage)
{
    writeFile(work.file("poets.csv"), "poet\nالمتنبي\n");
    const struct {
        QStringList args;
        int code;
        const char* said;
    } cases[] = {
        {{"import", "missing.csv"}, 1, "missing.csv"},
        {{"import", "poets.csv"}, 1, "عمود لنص البيت"},
        {{"import"}, 2, "لم يُذكر ملف"},
        {{"import", "--colour=red", "poets.csv"}, 2, "--colour=red"},
        {{"export", "a.csv", "b.csv"}, 2, "ملف واحد"},
        {{"export", "no-such-folder/out.csv"}, 1, "out.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
}

TEST_F(CommandLineTest, WithoutADisplayOrWithAWordItDoesNotKnowTheWindowNeverStarts)
{
    const struct {
        QStringList args;
        int code;
        std::string said;  // on stdout for 0, stderr otherwise
    } cases[] = {
        {{}, 2, "لا شاشة"},
        {{"improt", "poems.csv"}, 2, "أمر غير معروف: improt"},
        // A file's name (a suffix, a folder, an Arabic name) that is not there is no command.
        {{"poem.txt"}, 1, option_messages::fileMissing("poem.txt").toStdString()},
        {{"diwan/poem.csv", "more.txt"}, 1, option_messages::fileMissing("diwan/poem.csv").toStdString()},
        {{"--data", "tables", "قصيدة"}, 1, option_messages::fileMissing("قصيدة").toStdString()},
        {{"-h"}, 0, "الاستعمال"},
        {{"--help"}, 0, "--layout"},
        {{"--version"}, 0, "barqeen 2.0.3"},
        {{"import", "--layout=zigzag", "a.txt"}, 2, "zigzag"},
        {{"export", "--letter=ة", "out.csv"}, 2, "لا يبدأ بيت"},
        // The option syntax: a value after a space, a value a switch does not take, a value missing.
        {{"import", "--dry-run", "--layout", "zigzag", "a.txt"}, 2, "zigzag"},
        {{"export", "--overwrite=yes", "out.csv"}, 2, option_messages::takesNoValue("--overwrite").toStdString()},
        {{"import", "--format"}, 2, option_messages::needsValue("--format").toStdString()},
        {{"import", "-h"}, 0, "الاستعمال"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE((c.code == 0 ? r.out : r.err).find(c.said), std::string::npos) << r.out << r.err;
        if (c.code == 2) {
            EXPECT_NE(r.err.find("الاستعمال"), std::string::npos) << "the usage follows";
        }
    }
}

TEST_F(CommandLineTest, ADryRunReportsWithoutStoringAndAnAlifLetterExportsTheAlifGroup)
{
    writeFile(work.file("diwan.txt"), "المتنبي\n"
                                      "1. أعز مكان في الدنى سرج سابح * وخير جليس في الزمان كتاب\n"
                                      "2. ولست بنحوي يلوك لسانه * ولكن سليقي أقول فأعرب\n");
    const Outcome dry = run({"import", "--dry-run", "--heading-poet=first", "diwan.txt"});
    EXPECT_EQ(dry.code, 0) << dry.err;
    EXPECT_NE(dry.out.find("الأبيات التي تُستورد: 2"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("عناوين لم تُحفظ أبياتًا: 1"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("« * »"), std::string::npos) << "the layout is named: " << dry.out;
    EXPECT_NE(readFile(work.file("diwan.txt.import-report.txt")).find("السطر 1: المتنبي"), std::string::npos);
    EXPECT_EQ(stateOnDisk(folder.path()).verses.size(), 0u) << "nothing stored";

    EXPECT_EQ(run({"import", "--heading-poet=first", "diwan.txt"}).code, 0);
    const Outcome out = run({"export", "--letter=ا", "--format=jsonl", "alif.jsonl"});
    EXPECT_EQ(out.code, 0) << out.err;
    const std::string written = readFile(work.file("alif.jsonl"));
    EXPECT_NE(written.find("أعز مكان"), std::string::npos) << written;
    EXPECT_NE(written.find("\"poet\":\"المتنبي\""), std::string::npos) << written;
    EXPECT_EQ(written.find("ولست"), std::string::npos) << written;
}

// The numbers that follow `label` in the output, in order: one for each file's summary.
std::vector<int> countsAfter(const std::string& out, const std::string& label)
{
    std::vector<int> counts;
    for (size_t at = out.find(label); at != std::string::npos; at = out.find(label, at + 1))
        counts.push_back(std::atoi(out.c_str() + at + label.size()));
    return counts;
}

// Three files holding the same forty verses: the import stores them once and refuses the other
// eighty as repeats; the dry run before it says so, file by file.
TEST_F(CommandLineTest, ADryRunOverSeveralFilesSaysWhatTheImportOfThemWillDo)
{
    std::string forty;
    {
        std::ifstream collection(STARTER_DIR "/verses.jsonl");
        std::string line;
        for (int i = 0; i < 40 && std::getline(collection, line); ++i)
            forty += line + "\n";
    }
    const QStringList files{"a.jsonl", "b.jsonl", "c.jsonl"};
    for (const QString& name : files)
        writeFile(work.file(name.toStdString()), forty);

    const Outcome dry = run(QStringList{"import", "--dry-run", "--no-report"} + files);
    ASSERT_EQ(dry.code, 0) << dry.err;
    EXPECT_EQ(stateOnDisk(folder.path()).verses.size(), 0u) << "nothing stored";
    const Outcome done = run(QStringList{"import", "--no-report"} + files);
    ASSERT_EQ(done.code, 0) << done.err;
    EXPECT_EQ(stateOnDisk(folder.path()).verses.size(), 40u);

    const std::vector<int> taken{40, 0, 0}, refused{0, 40, 40};
    EXPECT_EQ(countsAfter(dry.out, "الأبيات التي تُستورد: "), taken) << dry.out;
    EXPECT_EQ(countsAfter(done.out, "الأبيات المستوردة: "), taken) << done.out;
    EXPECT_EQ(countsAfter(dry.out, "الأسطر المرفوضة: "), refused) << dry.out;
    EXPECT_EQ(countsAfter(done.out, "الأسطر المرفوضة: "), refused) << done.out;
    // The poets are made by the first file alone.
    EXPECT_EQ(countsAfter(dry.out, "شعراء جدد يُضافون: "), countsAfter(done.out, "شعراء جدد: ")) << dry.out;
}

// A plain-text poem is named one meter from all its verses, and a verse of another poem that
// slipped in is named by its line; a file of records (CSV) is no poem and names none.
TEST_F(CommandLineTest, AnImportedPoemIsNamedItsMeterAndTheVerseThatDoesNotFitIt)
{
    writeFile(work.file("poem.txt"), "معلقة امرئ القيس\n"
                                     "قفا نبك من ذكرى حبيب ومنزل *** بسقط اللوى بين الدخول فحومل\n"
                                     "فتوضح فالمقراة لم يعف رسمها *** لما نسجتها من جنوب وشمأل\n"
                                     "ترى بعر الآرام في عرصاتها *** وقيعانها كأنه حب فلفل\n"
                                     "الخيل والليل والبيداء تعرفني *** والسيف والرمح والقرطاس والقلم\n"
                                     "كأني غداة البين يوم تحملوا *** لدى سمرات الحي ناقف حنظل\n"
                                     "وقوفا بها صحبي علي مطيهم *** يقولون لا تهلك أسى وتجمل\n");
    writeFile(work.file("poems.csv"), "text\n"
                                      "قفا نبك من ذكرى حبيب ومنزل *** بسقط اللوى بين الدخول فحومل\n"
                                      "فتوضح فالمقراة لم يعف رسمها *** لما نسجتها من جنوب وشمأل\n");
    const Outcome imported = run({"import", "poem.txt", "poems.csv"});
    EXPECT_EQ(imported.code, 0) << imported.err;
    const std::string poemSummary = imported.out.substr(0, imported.out.find("poems.csv"));
    // (A bare verse the scanner cannot read is listed apart, not as another meter's.)
    EXPECT_NE(poemSummary.find("بحر القصيدة: الطويل ("), std::string::npos) << imported.out;
    EXPECT_NE(poemSummary.find(" من 6 بيتًا)"), std::string::npos) << imported.out;
    EXPECT_NE(poemSummary.find("لا توافقه: السطر 5\n"), std::string::npos) << imported.out;
    EXPECT_EQ(imported.out.find("بحر القصيدة", poemSummary.size()), std::string::npos) << imported.out;
    // The report beside the poem says it as well.
    EXPECT_NE(readFile(work.file("poem.txt.import-report.txt")).find("لا توافقه: السطر 5"), std::string::npos);
}

}  // namespace
