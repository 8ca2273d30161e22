// An import is one change: cancelled or failed at any point, it leaves the tables as they were,
// in memory and in their files; the window stays responsive because the work comes in slices.
#include "exchange_fixture.h"
#include "file_size_limit.h"

#include <filesystem>

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;

namespace {

// count verses in CSV, with a new poet every hundred verses and seven categories.
std::string manyVerses(int count)
{
    std::string csv = "text,poet,categories\n";
    for (int i = 0; i < count; ++i)
        csv += "بيت رقم " + std::to_string(i) + " من الشعر,شاعر " + std::to_string(i / 100) + ",موضوع " +
               std::to_string(i % 7) + "\n";
    return csv;
}

class ImportAllOrNothingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value(cp("المتنبي"))});
        store.cdsCategories.appendRecord({Value(), Value(cp("حكمة"))});
        store.cdsPoem.appendRecord({Value(), Value(cp("أعز مكان في الدنى سرج سابح")), Value(), Value(int64_t(1)),
                                    Value(cp("أ")), Value(cp("ح")), Value(std::string("(1)"))});
        before = stateOf(store);
    }

    void expectUnchanged()
    {
        EXPECT_EQ(stateOf(store), before) << "in memory";
        EXPECT_EQ(stateOnDisk(dir.path()), before) << "in the files";
    }

    // The tables still take an import afterwards: nothing was left locked or half open.
    void expectAnImportStillWorks()
    {
        const std::string source = dir.file("after.txt");
        writeFile(source, "ستبدي لك الأيام ما كنت جاهلا\n");
        VerseImport import(store, source);
        EXPECT_EQ(import.run().outcome, ImportResult::Outcome::Done) << import.result().error;
        EXPECT_EQ(stateOnDisk(dir.path()).verses.size(), before.verses.size() + 1);
    }

    TempFolder dir;
    PoemStore store{dir.path()};
    TablesState before;
};

TEST_F(ImportAllOrNothingTest, ItComesInSlicesThatReportTheirProgress)
{
    const std::string source = dir.file("many.csv");
    writeFile(source, manyVerses(50000));
    VerseImport import(store, source);
    std::vector<std::string> stages;
    double last = 0;
    int slices = 0;
    while (import.step(std::chrono::milliseconds(0))) {
        ++slices;
        EXPECT_GE(import.progress(), last);
        last = import.progress();
        if (stages.empty() || stages.back() != import.stage())
            stages.push_back(import.stage());
    }
    EXPECT_GT(slices, 20) << "a large file is not done in one slice";
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Done);
    EXPECT_EQ(import.result().taken, 50000u);
    EXPECT_EQ(import.result().newPoets, 500u);
    EXPECT_EQ(import.result().newCategories, 7u);
    EXPECT_NE(std::find(stages.begin(), stages.end(), "فحص الأسطر"), stages.end());
    EXPECT_NE(std::find(stages.begin(), stages.end(), "كتابة الجداول"), stages.end());
    EXPECT_EQ(store.cdsPoem.rowCount(), 50001);
}

TEST_F(ImportAllOrNothingTest, CancelWhileTheTablesAreBeingWrittenKeepsNothing)
{
    const std::string source = dir.file("many.csv");
    writeFile(source, manyVerses(50000));
    VerseImport import(store, source);
    while (import.step(std::chrono::milliseconds(0)) && !(import.stage() == "كتابة الجداول" && import.progress() > 0.75)) {
    }
    ASSERT_EQ(import.stage(), "كتابة الجداول") << "cancelled while rows were being written";
    import.cancel();
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Cancelled);
    EXPECT_FALSE(import.step(std::chrono::milliseconds(0)));
    expectUnchanged();
    EXPECT_FALSE(std::filesystem::exists(source + ".import-report.txt"));
    expectAnImportStillWorks();
}

TEST_F(ImportAllOrNothingTest, CancelWhileTheLinesAreBeingCheckedKeepsNothing)
{
    const std::string source = dir.file("many.csv");
    writeFile(source, manyVerses(20000));
    VerseImport import(store, source);
    while (import.step(std::chrono::milliseconds(0)) && import.stage() != "فحص الأسطر") {
    }
    import.step(std::chrono::milliseconds(0));
    import.cancel();
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Cancelled);
    expectUnchanged();
}

TEST_F(ImportAllOrNothingTest, AFullDiskWhileWritingKeepsNothing)
{
    const std::string source = dir.file("many.csv");
    writeFile(source, manyVerses(50000));
    const auto largest = std::filesystem::file_size(dir.file("Poem.cds"));
    VerseImport import(store, source);
    {
        FileSizeLimit limit(largest + 256 * 1024);
        import.run();
    }
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Failed);
    EXPECT_NE(import.result().error.find("Poem.cds"), std::string::npos) << import.result().error;
    EXPECT_EQ(import.result().taken, 0u);
    expectUnchanged();
    expectAnImportStillWorks();
}

TEST_F(ImportAllOrNothingTest, AVerseFileThatCannotCommitTakesBackThePoetsAndCategoriesAlreadyCommitted)
{
    // Small enough to stay in memory until the commit, large enough that the verse file cannot
    // grow by it: the poets' and categories' files commit first, and must be taken back.
    const std::string source = dir.file("some.csv");
    writeFile(source, manyVerses(1500));
    uintmax_t largest = 0;
    for (const char* f : {"Poem.cds", "Authors.cds", "Categories.cds"})
        largest = std::max(largest, std::filesystem::file_size(dir.file(f)));
    VerseImport import(store, source);
    {
        FileSizeLimit limit(largest + 24 * 1024);
        import.run();
    }
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Failed);
    expectUnchanged();
    expectAnImportStillWorks();
}

TEST_F(ImportAllOrNothingTest, ASourceFileThatChangesWhileItIsReadKeepsNothing)
{
    const std::string source = dir.file("large.csv");
    writeFile(source, manyVerses(200000));
    ASSERT_GT(std::filesystem::file_size(source), 9u << 20) << "more than one piece to read";
    VerseImport import(store, source);
    import.step(std::chrono::milliseconds(0));  // opened
    import.step(std::chrono::milliseconds(0));  // the first piece read
    std::filesystem::resize_file(source, 1 << 20);
    import.run();
    EXPECT_EQ(import.result().outcome, ImportResult::Outcome::Failed);
    EXPECT_NE(import.result().error.find("أثناء قراءته"), std::string::npos) << import.result().error;
    expectUnchanged();
}

TEST_F(ImportAllOrNothingTest, AVerseFileDeletedDuringTheImportIsWrittenAgainWhole)
{
    const std::string source = dir.file("some.csv");
    writeFile(source, manyVerses(300));
    VerseImport import(store, source);
    while (import.step(std::chrono::milliseconds(0)) && import.stage() != "كتابة الجداول") {
    }
    std::filesystem::remove(dir.file("Poem.cds"));
    EXPECT_EQ(import.run().outcome, ImportResult::Outcome::Done) << import.result().error;
    store.CloseTables();
    EXPECT_EQ(stateOnDisk(dir.path()).verses.size(), 301u);
}

TEST_F(ImportAllOrNothingTest, APendingEditIsSettledFirstAndTakesPartInTheDuplicateCheck)
{
    store.cdsPoem.append();
    store.cdsPoem.field("Text").setAsString(cp("وما نيل المطالب بالتمني"));
    store.cdsPoem.field("StartLetter").setAsString(cp("و"));
    store.cdsPoem.field("EndLetter").setAsString(cp("ن"));
    const std::string source = dir.file("one.txt");
    writeFile(source, "وَما نَيلُ المَطالِبِ بِالتَمَني\n");
    VerseImport import(store, source);
    ASSERT_EQ(import.run().outcome, ImportResult::Outcome::Done);
    EXPECT_EQ(store.cdsPoem.state(), Table::State::Browse);
    EXPECT_EQ(store.cdsPoem.rowCount(), 2) << "the edit was posted; the file's line is its duplicate";
    ASSERT_EQ(import.result().refused.size(), 1u);
    EXPECT_EQ(import.result().refused[0].reason, Refusal::DuplicateInTable);
    EXPECT_EQ(import.result().refused[0].detail, "الرقم المتسلسل 2");
}

}  // namespace
