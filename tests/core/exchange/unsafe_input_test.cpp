// Files the user or another program may have put in the way: links planted under the names the
// program writes, pipes and devices to import, lines longer than any verse, table files with more
// than the layout, exports aimed at the program's own files, a link to nowhere for a table.
#include "core/exchange/import_report.h"
#include "core/exchange/verse_export.h"
#include "exchange_fixture.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace barqeen;
using namespace barqeen::exchange;
using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

const char* const kVerse = "ستبدي لك الأيام ما كنت جاهلا\tويأتيك بالأخبار من لم تزود";

class UnsafeInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        store.cdsPoem.appendRecord({Value(), Value(cp("أعز مكان في الدنى سرج سابح")), Value(), Value(),
                                    Value(cp("أ")), Value(cp("ح"))});
    }

    ImportResult import(const std::string& path)
    {
        VerseImport imported(store, path);
        return imported.run();
    }

    TempFolder dir, elsewhere;
    PoemStore store{dir.path()};
};

// A link or a second name of another file, planted under the name of the export's part file or of
// the import's report, is replaced: the file it leads to is never written.
TEST_F(UnsafeInputTest, NamesPlantedWhereTheProgramWritesAreNeverFollowed)
{
    const std::string victim = elsewhere.file("victim.txt");
    for (const bool hardLink : {false, true}) {
        SCOPED_TRACE(hardLink ? "a second name of the file" : "a link");
        writeFile(victim, "keep me");
        const auto plant = [&](const std::string& at) {
            fs::remove(at);
            hardLink ? fs::create_hard_link(victim, at) : fs::create_symlink(victim, at);
        };

        const std::string out = elsewhere.file("out.csv");
        fs::remove(out);
        plant(out + ".part");
        VerseExport exported(store, allVerses(store.cdsPoem), out);
        EXPECT_EQ(exported.run().outcome, ExportResult::Outcome::Done) << exported.result().error;
        EXPECT_NE(readFile(out).find("سرج سابح"), std::string::npos);

        const std::string source = elsewhere.file("in.txt");
        writeFile(source, std::string(kVerse) + "\n");
        plant(reportPathFor(source));
        const ImportResult imported = import(source);
        EXPECT_EQ(imported.outcome, ImportResult::Outcome::Done) << imported.error;
        EXPECT_EQ(imported.reportError, "");
        EXPECT_FALSE(fs::is_symlink(reportPathFor(source)));
        EXPECT_NE(readFile(reportPathFor(source)).find("in.txt"), std::string::npos);

        EXPECT_EQ(readFile(victim), "keep me");
    }
    // Nothing of the program's is left beside them.
    for (const auto& entry : fs::directory_iterator(elsewhere.path()))
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

// Only regular files are read: a pipe is refused at once (nothing waits for a writer), a device
// too; a line longer than any verse is refused without the file being read whole.
TEST_F(UnsafeInputTest, OnlyRegularFilesWithLinesOfVerseLengthAreImported)
{
    const std::string pipe = elsewhere.file("pipe.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string longLine = elsewhere.file("long.txt");
    writeFile(longLine, std::string(kVerse) + "\n" + std::string(size_t(3) << 20, 'x') + "\n" + kVerse + "\n");
    ::alarm(60);  // a read that blocks ends the test instead of hanging it
    for (const std::string& path : {pipe, std::string("/dev/zero"), longLine}) {
        SCOPED_TRACE(path);
        const ImportResult result = import(path);
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Failed);
        EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
        EXPECT_EQ(store.cdsPoem.rowCount(), 1);
    }
    ::alarm(0);
}

// Long files whose lines are short are read: lines ended by a CR alone, and a JSON array written
// on one line.
TEST_F(UnsafeInputTest, LongFilesOfShortLinesAreRead)
{
    std::string crLines, jsonArray = "[";
    for (int i = 0; i < 20000; ++i) {
        crLines += std::string(kVerse) + "\r";
        jsonArray += std::string(i ? "," : "") + "{\"text\":\"ستبدي لك الأيام ما كنت جاهلا\\tويأتيك بالأخبار من لم تزود\"}";
    }
    ASSERT_GT(crLines.size(), size_t(1) << 20);
    writeFile(elsewhere.file("old-mac.txt"), crLines);
    writeFile(elsewhere.file("one-line.json"), jsonArray + "]");
    for (const char* name : {"old-mac.txt", "one-line.json"}) {
        SCOPED_TRACE(name);
        const ImportResult result = import(elsewhere.file(name));
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Done) << result.error;
    }
    EXPECT_EQ(store.cdsPoem.rowCount(), 2);
}

// The program's own files are never exported over; another existing file only when allowed.
TEST_F(UnsafeInputTest, ExportsNeverGoOverTheTableFilesAndOverOtherFilesOnlyWhenAllowed)
{
    store.CloseTables();
    store.OpenTables();
    const std::string poem = store.pathOf("Poem");
    const std::string before = readFile(poem), logBefore = readFile(dir.file("Authors.cds-wal"));
    fs::create_symlink(poem, elsewhere.file("link-to-poem.csv"));
    const std::string roundabout = dir.file("../" + fs::path(dir.path()).filename().string() + "/Poem.cds");
    for (const std::string& target : {poem, dir.file("Authors.cds-wal"), dir.file("Barqeen.batch-pending"),
                                      store.metersPath(), store.metersPath() + ".new",
                                      elsewhere.file("link-to-poem.csv"), roundabout}) {
        SCOPED_TRACE(target);
        VerseExport out(store, allVerses(store.cdsPoem), target, Format::Csv);
        out.allowOverwrite(true);
        EXPECT_EQ(out.run().outcome, ExportResult::Outcome::Failed);
        EXPECT_NE(out.result().error.find("ملفات جداول البرنامج"), std::string::npos) << out.result().error;
    }
    EXPECT_EQ(readFile(poem), before);
    EXPECT_EQ(readFile(dir.file("Authors.cds-wal")), logBefore);
    store.CloseTables();
    store.OpenTables();
    EXPECT_EQ(store.cdsPoem.rowCount(), 1);

    const std::string existing = elsewhere.file("old.csv");
    writeFile(existing, "old");
    {
        VerseExport out(store, allVerses(store.cdsPoem), existing);
        EXPECT_EQ(out.run().outcome, ExportResult::Outcome::Failed);
        EXPECT_NE(out.result().error.find("موجود"), std::string::npos) << out.result().error;
        EXPECT_EQ(readFile(existing), "old");
    }
    VerseExport out(store, allVerses(store.cdsPoem), existing);
    out.allowOverwrite(true);
    EXPECT_EQ(out.run().outcome, ExportResult::Outcome::Done);
    EXPECT_NE(readFile(existing).find("سرج سابح"), std::string::npos);
}

// Anything in a table file beside the layout is refused by name, and the file left as it is; what
// SQLite keeps for itself (the statistics of ANALYZE) is no change of the layout.
TEST(UnsafeTableFilesTest, AFileWithMoreThanTheLayoutIsRefusedByName)
{
    const struct {
        const char* sql;
        const char* named;  // empty: the file opens
    } cases[] = {
        {"CREATE TRIGGER gone AFTER INSERT ON rows BEGIN DELETE FROM rows; END", "gone"},
        {"CREATE VIEW names AS SELECT * FROM rows", "names"},
        {"CREATE INDEX by_length ON rows(length(CategoryName))", "by_length"},
        {"CREATE INDEX by_name ON rows(CategoryName)", "by_name"},
        {"ALTER TABLE rows ADD COLUMN extra TEXT", "rows"},
        {"CREATE TABLE notes (x)", "notes"},
        {"ANALYZE", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        TempFolder dir;
        {
            PoemStore store(dir.path());
            store.OpenTables();
            store.cdsCategories.appendRecord({Value(), Value(cp("غزل"))});
            store.CloseTables();
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("Categories.cds").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        ASSERT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        const std::string bytes = readFile(dir.file("Categories.cds"));
        PoemStore store(dir.path());
        if (!*c.named) {
            store.OpenTables();
            EXPECT_EQ(store.cdsCategories.rowCount(), 1);
            store.cdsCategories.appendRecord({Value(), Value(cp("مدح"))});
            store.CloseTables();
            continue;
        }
        try {
            store.OpenTables();
            ADD_FAILURE() << "the file was opened";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(dir.file("Categories.cds")), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
        EXPECT_EQ(readFile(dir.file("Categories.cds")), bytes);
    }
}

TEST(UnsafeTableFilesTest, ALinkToNowhereInPlaceOfATableIsTold)
{
    TempFolder dir;
    fs::create_symlink(dir.file("moved-away/Authors.cds"), dir.file("Authors.cds"));
    PoemStore store(dir.path());
    try {
        store.OpenTables();
        ADD_FAILURE() << "an empty table took its place";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("Authors.cds")), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("moved-away"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_symlink(dir.file("Authors.cds")));
    EXPECT_FALSE(fs::exists(dir.file("moved-away")));
}

}  // namespace
