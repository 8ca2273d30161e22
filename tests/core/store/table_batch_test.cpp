// Many rows added as one change: written in one transaction, taken into the table in one step,
// and nothing left behind when the batch is rolled back or the disk fills up.
#include "file_size_limit.h"
#include "files_fixture.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <filesystem>

using namespace barqeen;
using barqeen::test::FileSizeLimit;
using barqeen::test::TempFolder;

namespace {

std::string arabic(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

// Verse rows with the keys from `first` on.
std::vector<Row> verses(int64_t first, int count)
{
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({{Value(first + i), Value(arabic("بيت من الشعر رقم ") + std::to_string(first + i)),
                         Value(), Value(arabic("ب")), Value(arabic("م")), Value()},
                        {}});
    return rows;
}

// The verse texts and key counter as the file holds them, read by a fresh store.
std::pair<std::vector<std::string>, int64_t> onDisk(const std::string& dir)
{
    PoemStore store(dir);
    store.OpenTables();
    std::vector<std::string> texts;
    for (int r = 0; r < store.cdsPoem.rowCount(); ++r)
        texts.emplace_back(store.cdsPoem.rowAt(r).cells[1].text());
    const int64_t next = store.cdsPoem.nextKey();
    store.CloseTables();
    return {texts, next};
}

// Values by field position, as appendRecord takes them: the looked-up poet's name stands third.
std::vector<Value> verseValues(const char* text, const char* start, const char* end)
{
    return {Value(), Value(arabic(text)), Value(), Value(), Value(arabic(start)), Value(arabic(end))};
}

class TableBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.OpenTables();
        store.cdsPoem.appendRecord(verseValues("أول بيت", "أ", "ت"));
        before = onDiskNow();
    }
    std::pair<std::vector<std::string>, int64_t> onDiskNow()
    {
        // A second reader of the same file sees only what has been committed.
        return onDisk(dir.path());
    }
    TableFile& file() { return *store.fileOf(store.cdsPoem); }

    TempFolder dir;
    PoemStore store{dir.path()};
    std::pair<std::vector<std::string>, int64_t> before;
};

TEST_F(TableBatchTest, CommittedBatchIsInTheFileAndThenInTheTable)
{
    std::vector<Row> rows = verses(2, 3);
    int moves = 0;
    store.cdsPoem.setAfterScroll([&] { ++moves; });
    file().beginBatch();
    file().appendInBatch(rows.data(), 2, 4);
    file().appendInBatch(rows.data() + 2, 1, 5);
    EXPECT_EQ(onDiskNow(), before) << "nothing shows before the commit";
    file().commitBatch();
    EXPECT_EQ(store.cdsPoem.rowCount(), 1) << "the table in memory waits for appendRows";
    store.cdsPoem.appendRows(std::move(rows));

    EXPECT_EQ(store.cdsPoem.rowCount(), 4);
    EXPECT_EQ(store.cdsPoem.nextKey(), 5);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(store.cdsPoem.recNo(), 1) << "the cursor stays on its row";
    const auto [texts, next] = onDiskNow();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3], arabic("بيت من الشعر رقم 4"));
    EXPECT_EQ(next, 5);
    // The next ordinary append goes on from the batch's keys.
    store.cdsPoem.appendRecord(verseValues("بعد الدفعة", "ب", "ة"));
    EXPECT_EQ(store.cdsPoem.field("TextID").asInteger(), 5);
}

TEST_F(TableBatchTest, AppendedRowsFollowTheFilterAndTheLetterIndex)
{
    store.cdsPoem.setFilterText("StartLetter = '" + arabic("ب") + "'");
    store.cdsPoem.setFiltered(true);
    EXPECT_EQ(store.cdsPoem.recordCount(), 0);
    store.cdsPoem.setStorage(nullptr);  // memory only here
    store.cdsPoem.appendRows(verses(2, 3));
    EXPECT_EQ(store.cdsPoem.recordCount(), 3);
    EXPECT_EQ(store.cdsPoem.field("TextID").asInteger(), 2) << "an empty selection moves to its first row";
    store.cdsPoem.setFilterText("StartLetter = '" + arabic("أ") + "'");
    EXPECT_EQ(store.cdsPoem.recordCount(), 1);
}

TEST_F(TableBatchTest, RowsOutOfKeyOrderOrEmptyRequiredFieldsAreRefusedWhole)
{
    store.cdsPoem.setStorage(nullptr);
    EXPECT_THROW(store.cdsPoem.appendRows(verses(3, 2)), Error) << "key 2 is next, not 3";
    std::vector<Row> rows = verses(2, 2);
    rows[1].cells[4] = Value();
    EXPECT_THROW(store.cdsPoem.appendRows(std::move(rows)), Error);
    EXPECT_EQ(store.cdsPoem.rowCount(), 1);
    EXPECT_EQ(store.cdsPoem.nextKey(), 2);
}

TEST_F(TableBatchTest, RolledBackBatchLeavesTheFileAsItWas)
{
    std::vector<Row> rows = verses(2, 50);
    file().beginBatch();
    file().appendInBatch(rows.data(), rows.size(), 52);
    file().rollbackBatch();
    EXPECT_EQ(onDiskNow(), before);
    // The file takes ordinary changes again.
    store.cdsPoem.appendRecord(verseValues("ثاني بيت", "ث", "ت"));
    EXPECT_EQ(onDiskNow().first.size(), 2u);
}

TEST_F(TableBatchTest, FullDiskFailsTheBatchAndTheFileKeepsItsRows)
{
    std::vector<Row> rows = verses(2, 20000);
    const auto size = std::filesystem::file_size(dir.file("Poem.cds"));
    file().beginBatch();
    {
        FileSizeLimit limit(size + 64 * 1024);
        EXPECT_THROW(
            {
                file().appendInBatch(rows.data(), rows.size(), 20002);
                file().commitBatch();
            },
            Error);
        file().rollbackBatch();
    }
    EXPECT_EQ(onDiskNow(), before);
    EXPECT_EQ(store.cdsPoem.rowCount(), 1);
}

TEST_F(TableBatchTest, TakeBackRemovesACommittedBatchAndItsKeys)
{
    std::vector<Row> rows = verses(2, 5);
    file().beginBatch();
    file().appendInBatch(rows.data(), rows.size(), 7);
    file().commitBatch();
    file().takeBack(2);
    EXPECT_EQ(onDiskNow(), before);
}

TEST_F(TableBatchTest, NoOrdinaryChangeIsWrittenWhileABatchIsOpen)
{
    file().beginBatch();
    EXPECT_THROW(store.cdsPoem.appendRecord(verseValues("بيت", "ب", "ت")),
                 Error);
    EXPECT_EQ(store.cdsPoem.rowCount(), 1);
    file().rollbackBatch();
}

}  // namespace
