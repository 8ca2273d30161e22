// The meters of all verses kept beside the tables (Poem.meters): whatever happened to the table or
// to the file between two starts, each verse's kept meter is the one its text scans to now, and
// only the verses whose text the file does not hold are scanned again.
#include "classical_verses.h"
#include "files_fixture.h"

#include "core/exchange/verse_import.h"
#include "core/search/meter_file.h"
#include "core/search/verse_meters.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace barqeen;
using namespace barqeen::test;

namespace {

class VerseMetersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        verses = classicalVerses("classical_verses.tsv", 40);
        ASSERT_EQ(verses.size(), 40u);
        openStore();
        for (size_t i = 0; i < 30; ++i)
            store->cdsPoem.appendRecord({Value(), Value(verses[i]), Value(), Value(int64_t(1)), Value("a"), Value("b"), Value()});
        closeStore();
    }
    void TearDown() override
    {
        meters.reset();
        if (store)
            closeStore();
    }

    void openStore()
    {
        store = std::make_unique<PoemStore>(dir.path());
        store->setIdleFolding(false);
        store->OpenTables();
    }
    void closeStore()
    {
        meters.reset();
        store->CloseTables();
        store.reset();
    }
    void openMeters()
    {
        meters = std::make_unique<VerseMeters>(store->cdsPoem, store->pathOf(layouts::kPoem), store->metersPath());
        meters->open();
    }
    Table& poem() { return store->cdsPoem; }
    std::string keptPath() const { return (std::filesystem::path(dir.path()) / "Poem.meters").string(); }

    // Every verse of the table has its meter, the one its text scans to now, and no other is kept.
    void expectEveryMeterRight()
    {
        ASSERT_TRUE(meters->complete());
        ASSERT_EQ(meters->all().size(), size_t(poem().rowCount()));
        const int key = poem().field("TextID").column(), text = poem().field("Text").column();
        for (int i = 0; i < poem().rowCount(); ++i) {
            const Row& row = poem().rowAt(i);
            EXPECT_EQ(meters->meterOf(row.cells[size_t(key)].integer()), VerseMeterOf(row.cells[size_t(text)].text()))
                << "row " << i;
        }
    }

    // One start: the kept file read, the rest scanned, the file written; then closed.
    void session(MeterFileState expectedState, size_t expectedToScan)
    {
        openStore();
        openMeters();
        EXPECT_EQ(meters->keptFileState(), expectedState);
        EXPECT_EQ(meters->notScanned(), expectedToScan);
        meters->scanAll(2);
        expectEveryMeterRight();
        EXPECT_TRUE(meters->save());
        closeStore();
    }

    // Another program writes a verse's text through SQLite while this one is not running.
    void foreignWrite(int64_t key, const std::string& text)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((std::filesystem::path(dir.path()) / "Poem.cds").c_str(), &db), SQLITE_OK);
        sqlite3_stmt* stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE rows SET Text = ? WHERE TextID = ?", -1, &stmt, nullptr), SQLITE_OK);
        const std::string utf8 = codepage::toUtf8(text);
        sqlite3_bind_text(stmt, 1, utf8.c_str(), int(utf8.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(stmt, 2, key);
        EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
        EXPECT_EQ(sqlite3_changes(db), 1);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }

    TempFolder dir;
    std::vector<std::string> verses;
    std::unique_ptr<PoemStore> store;
    std::unique_ptr<VerseMeters> meters;
};

// The file patched in place: the format version, then the checksum so that only the version is off.
void giveOtherFormat(const std::string& path)
{
    std::string bytes = readFile(path);
    bytes[8] = char(kMeterFileFormat + 1);
    const uint64_t sum = Hash64(std::string_view(bytes).substr(0, bytes.size() - 8));
    for (size_t i = 0; i < 8; ++i)
        bytes[bytes.size() - 8 + i] = char(sum >> (8 * i));
    writeFile(path, bytes);
}

TEST_F(VerseMetersTest, KeptFileAnsweredRightAfterWhateverHappenedBetweenTwoStarts)
{
    session(MeterFileState::Missing, 30);  // the first start scans every verse

    struct Case {
        const char* what;
        std::function<void()> change;
        MeterFileState state;
        size_t toScan;
    };
    const Case cases[] = {
        {"nothing changed", [] {}, MeterFileState::Read, 0},
        {"another program changed a verse", [&] { foreignWrite(3, verses[35]); }, MeterFileState::Read, 1},
        {"another program changed a verse back", [&] { foreignWrite(3, verses[2]); }, MeterFileState::Read, 1},
        {"the program changed a verse while the file was not watching",
         [&] {
             openStore();
             poem().setRecNo(5);
             poem().edit();
             poem().field("Text").setValue(Value(verses[36]));
             poem().post();
             closeStore();
         },
         MeterFileState::Read, 1},
        {"verses imported",
         [&] {
             openStore();
             const std::string source = dir.file("new.txt");
             auto line = [](std::string verse) { return codepage::toUtf8(verse.replace(verse.find("\r\n"), 2, "\t")) + "\n"; };
             writeFile(source, line(verses[37]) + line(verses[38]));
             exchange::VerseImport import(*store, source);
             EXPECT_EQ(import.run().outcome, exchange::ImportResult::Outcome::Done) << import.result().error;
             EXPECT_EQ(poem().rowCount(), 32);
             closeStore();
         },
         MeterFileState::Read, 2},
        {"a verse deleted",
         [&] {
             openStore();
             poem().setRecNo(1);
             poem().remove();
             closeStore();
         },
         MeterFileState::Read, 0},
        {"the file deleted", [&] { std::filesystem::remove(keptPath()); }, MeterFileState::Missing, 31},
        {"a meter's byte damaged",
         [&] {
             std::string bytes = readFile(keptPath());
             bytes[40 + 16] ^= 0x01;  // the first verse's meter
             writeFile(keptPath(), bytes);
         },
         MeterFileState::Damaged, 31},
        {"the file cut short",
         [&] {
             const std::string bytes = readFile(keptPath());
             writeFile(keptPath(), bytes.substr(0, bytes.size() - 5));
         },
         MeterFileState::Damaged, 31},
        {"not a file of ours", [&] { writeFile(keptPath(), "garbage"); }, MeterFileState::Damaged, 31},
        {"another format version", [&] { giveOtherFormat(keptPath()); }, MeterFileState::OtherFormat, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        session(c.state, c.toScan);
        session(MeterFileState::Read, 0);  // and the start after it scans nothing
    }
}

// A table file put in the place of another (a copy: same rows, another file) is still answered by
// the verses' texts; the file then names the table it was made from.
TEST_F(VerseMetersTest, TableFileReplacedByACopy)
{
    session(MeterFileState::Missing, 30);
    const std::string table = (std::filesystem::path(dir.path()) / "Poem.cds").string();
    std::filesystem::copy_file(table, table + ".copy");
    std::filesystem::rename(table + ".copy", table);
    openStore();
    openMeters();
    EXPECT_EQ(meters->keptFileState(), MeterFileState::Read);
    EXPECT_FALSE(meters->keptFromThisTable());
    EXPECT_EQ(meters->notScanned(), 0u);
    expectEveryMeterRight();
    EXPECT_TRUE(meters->save());
    closeStore();
    openStore();
    openMeters();
    EXPECT_TRUE(meters->keptFromThisTable());
}

// Verses edited while the program runs are scanned again; an edit that comes while its old text
// is being scanned wins over that scan.
TEST_F(VerseMetersTest, VersesEditedInTheSessionAreScannedAgain)
{
    openStore();
    openMeters();
    meters->scanAll(2);
    int woken = 0;
    meters->setWakeUp([&] { ++woken; });

    const int64_t key = 7;
    poem().locate("TextID", Value(key));
    poem().edit();
    poem().field("Text").setValue(Value(verses[39]));
    poem().post();
    EXPECT_GT(woken, 0);
    EXPECT_FALSE(meters->complete());
    EXPECT_FALSE(meters->meterOf(key).known()) << "never the old text's meter";

    // Its new text is taken for scanning; before the meter comes back, the verse changes again.
    VerseMeters::Batch batch = meters->takeBatch(10);
    ASSERT_EQ(batch.jobs.size(), 1u);
    const auto scanned = VerseMeters::Scan(batch);
    poem().edit();
    poem().field("Text").setValue(Value(verses[0]));
    poem().post();
    meters->apply(batch, scanned);
    EXPECT_FALSE(meters->meterOf(key).known()) << "the meter of a text the verse no longer has";
    meters->scanAll(1);
    expectEveryMeterRight();
    EXPECT_EQ(meters->meterOf(key), VerseMeterOf(verses[0]));

    // Appended and removed verses follow too.
    poem().appendRecord({Value(), Value(verses[38]), Value(), Value(int64_t(1)), Value("a"), Value("b"), Value()});
    EXPECT_EQ(meters->notScanned(), 1u);
    poem().first();
    poem().remove();
    meters->scanAll(2);
    expectEveryMeterRight();
    EXPECT_TRUE(meters->save());
    closeStore();
    session(MeterFileState::Read, 0);
}

// A kept file that cannot be written leaves the meters in memory and reports it.
TEST_F(VerseMetersTest, AFileThatCannotBeWrittenIsReported)
{
    std::filesystem::create_directory(keptPath());  // a folder in its place: the rename fails
    openStore();
    openMeters();
    meters->scanAll(2);
    EXPECT_FALSE(meters->save());
    expectEveryMeterRight();
    EXPECT_TRUE(std::filesystem::is_directory(keptPath()));
    EXPECT_FALSE(std::filesystem::exists(keptPath() + ".new"));
}

}  // namespace
