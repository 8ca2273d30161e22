// The write-ahead logs a crash leaves beside the table files: a log that belongs to another file
// is set aside, a damaged one copied and told.
#include "child_process.h"
#include "files_fixture.h"
#include "core/store/poem_store.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <cstring>

using namespace barqeen;
using barqeen::test::readFile;
using barqeen::test::TempFolder;
using barqeen::test::writeFile;
namespace fs = std::filesystem;

namespace {

void addAuthors(PoemStore& store, int count, const std::string& prefix = "poet ")
{
    for (int i = 0; i < count; ++i)
        store.cdsAuthors.appendRecord({Value(), Value(prefix + std::to_string(i)), Value(std::string(100, 'i'))});
}

void foldIn(PoemStore& store)
{
    store.fileOf(store.cdsAuthors)->foldLog();
}

int authorsIn(const TempFolder& dir, std::string* notice = nullptr)
{
    PoemStore store(dir.path());
    store.OpenTables();
    if (notice)
        *notice = store.openingNotice();
    const int count = store.cdsAuthors.rowCount();
    store.CloseTables();
    return count;
}

// A folder whose poets' file was closed with `count` poets in it.
void closedWith(const TempFolder& dir, int count, const std::string& prefix = "poet ")
{
    PoemStore store(dir.path());
    store.OpenTables();
    addAuthors(store, count, prefix);
    store.CloseTables();
}

// A program that commits and is gone without a close, as after kill -9: its log stays.
void crashAfter(const TempFolder& dir, const std::function<void(PoemStore&)>& commits)
{
    if (const pid_t child = ::fork(); child == 0) {
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        commits(store);
        ::_exit(0);
    } else {
        ::waitpid(child, nullptr, 0);
    }
}

std::vector<std::string> keptLogs(const TempFolder& dir)
{
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().find("-wal-kept-") != std::string::npos)
            kept.push_back(entry.path().string());
    return kept;
}

TEST(TableFileLogsTest, ADamagedLogIsCopiedAsideAndTold)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.CloseTables();
    }
    crashAfter(dir, [](PoemStore& s) { addAuthors(s, 40); });
    std::string log = readFile(dir.file("Authors.cds-wal"));
    ASSERT_GT(log.size(), 32u + 24u + 4096u);
    const std::string sound = log;
    log[32 + 24 + 2000] ^= 0x10;  // one bit of the first page
    writeFile(dir.file("Authors.cds-wal"), log);
    PoemStore store(dir.path());
    store.OpenTables();
    const std::string notice = store.openingNotice();
    const std::vector<std::string> kept = keptLogs(dir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), log);
    EXPECT_NE(notice.find("تالف"), std::string::npos) << notice;
    EXPECT_NE(notice.find(kept[0]), std::string::npos) << notice;
}

// The log beside the file was its own: applied, nothing set aside, nothing to tell.
void expectQuietOpening(const TempFolder& dir, int authors)
{
    std::string notice;
    EXPECT_EQ(authorsIn(dir, &notice), authors);
    EXPECT_EQ(notice, "");
    EXPECT_TRUE(keptLogs(dir).empty());
}

// A log is applied to the file it was written for, and to no other: a file put in its place after
// the crash (from another folder, or an older copy of the same file) opens as it is.
TEST(TableFileLogsTest, ALogLeftBesideAnotherFileIsSetAsideAndTheFileOpensAsItIs)
{
    struct Case {
        const char* name;
        int mine, others;  // poets in each file before the run
        bool olderCopyOfItself;
    };
    const Case cases[] = {
        {"another folder's file", 40, 5, false},
        {"an older copy of the same file", 40, 0, true},
        // Made the same way, it differs only in pages the log holds.
        {"another file of the same shape", 0, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir, other;
        closedWith(dir, c.mine);
        closedWith(other, c.others, "other ");
        const std::string putBack =
            c.olderCopyOfItself ? readFile(dir.file("Authors.cds")) : readFile(other.file("Authors.cds"));
        const bool small = c.mine == 0;
        crashAfter(dir, [&](PoemStore& s) {
            if (!small) {
                addAuthors(s, 200, "folded ");
                foldIn(s);
            }
            addAuthors(s, small ? 3 : 5, "logged ");
        });
        const std::string log = readFile(dir.file("Authors.cds-wal"));
        ASSERT_FALSE(log.empty());
        writeFile(dir.file("Authors.cds"), putBack);  // in place, as cp does: the same inode

        std::string notice;
        EXPECT_EQ(authorsIn(dir, &notice), c.olderCopyOfItself ? c.mine : c.others);
        EXPECT_TRUE(readFile(dir.file("Authors.cds")) == putBack) << "opened as it was put, and closed unchanged";
        const std::vector<std::string> kept = keptLogs(dir);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(readFile(kept[0]), log);
        EXPECT_NE(notice.find(dir.file("Authors.cds")), std::string::npos) << notice;
        EXPECT_NE(notice.find(kept[0]), std::string::npos) << notice;
    }
}

// The file's own log is applied, whatever a crash cut short: a fold-in that had written some of
// its pages, or one that had written them all.
TEST(TableFileLogsTest, TheFilesOwnLogIsAppliedAfterAFoldInCutShort)
{
    TempFolder dir;
    closedWith(dir, 40);
    crashAfter(dir, [](PoemStore& s) {
        addAuthors(s, 100, "folded ");
        foldIn(s);
        addAuthors(s, 100, "logged ");
    });
    // A fold-in stopped half-way: as SQLite does, the latest frame of each page written into the
    // file in the order of the pages, here the first half of them; the log kept.
    const std::string log = readFile(dir.file("Authors.cds-wal"));
    const size_t pageSize = 4096, frame = 24 + pageSize;
    const auto be32 = [&](size_t at) {
        return uint32_t(uint8_t(log[at])) << 24 | uint32_t(uint8_t(log[at + 1])) << 16 |
               uint32_t(uint8_t(log[at + 2])) << 8 | uint8_t(log[at + 3]);
    };
    std::map<uint32_t, size_t> latest;  // page -> its last frame in the log's current round
    for (size_t at = 32; at + frame <= log.size() && log.compare(at + 8, 8, log, 16, 8) == 0; at += frame)
        latest[be32(at)] = at;
    ASSERT_GE(latest.size(), 4u);
    std::string file = readFile(dir.file("Authors.cds"));
    size_t written = 0;
    for (const auto& [page, at] : latest) {
        if (++written > latest.size() / 2)
            break;
        file.resize(std::max(file.size(), page * pageSize));
        file.replace((page - 1) * pageSize, pageSize, log.substr(at + 24, pageSize));
    }
    writeFile(dir.file("Authors.cds"), file);

    expectQuietOpening(dir, 240);
}

// Another tool folding the log in while the program runs moves the file's pages: what the
// program records follows, and its later log is still the file's own after a crash.
TEST(TableFileLogsTest, TheLogAfterAnotherToolFoldedItInIsStillTheFiles)
{
    TempFolder dir;
    closedWith(dir, 40);
    crashAfter(dir, [&](PoemStore& s) {
        addAuthors(s, 100, "before ");
        sqlite3* db = nullptr;
        if (sqlite3_open(dir.file("Authors.cds").c_str(), &db) == SQLITE_OK)
            sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        addAuthors(s, 5, "after ");
    });
    ASSERT_GT(fs::file_size(dir.file("Authors.cds-wal")), 0u);
    expectQuietOpening(dir, 145);
}

// Another tool folds the log in with a truncating checkpoint while the program has the file open,
// and writes a row of its own: SQLite starts the log's next round for it. The program stops
// before its next commit. That round follows the one the program recorded, by SQLite's own rule:
// it is the file's log, applied with the tool's row, and nothing is said.
TEST(TableFileLogsTest, AnotherToolsLogAfterItsTruncatingCheckpointIsTheFilesOwn)
{
    for (const int rounds : {1, 2}) {
        SCOPED_TRACE(std::to_string(rounds) + " checkpoints and writes by the tool");
        TempFolder dir;
        closedWith(dir, 40);
        crashAfter(dir, [&](PoemStore& s) {
            addAuthors(s, 30);
            for (int i = 0; i < rounds; ++i) {
                const std::string key = std::to_string(71 + i);
                const std::string tool = test::inChild(false, [&] {
                    sqlite3* db = nullptr;
                    std::string said = "done";
                    if (sqlite3_open(dir.file("Authors.cds").c_str(), &db) != SQLITE_OK ||
                        sqlite3_exec(db,
                                     ("PRAGMA wal_checkpoint(TRUNCATE); INSERT INTO rows (AuthorID, AuthorName) VALUES (" +
                                      key + ", 'theirs'); UPDATE barqeen_table SET next_key = " + key + " + 1")
                                         .c_str(),
                                     nullptr, nullptr, nullptr) != SQLITE_OK)
                        said = sqlite3_errmsg(db);
                    sqlite3_close(db);
                    return said;
                });
                ASSERT_EQ(tool, "done");
            }
        });
        ASSERT_GT(fs::file_size(dir.file("Authors.cds-wal")), 0u);
        expectQuietOpening(dir, 70 + rounds);
    }
}

// The record beside the file (-wal-id) as a power cut, a flipped bit or a copy from elsewhere may
// leave it. A record older than the file, one that fails its own checksum or one made for another
// table or folder never sets the file's own log aside and never gives a false alarm: the log is
// read as SQLite alone reads it.
TEST(TableFileLogsTest, ARecordStaleDamagedOrFromElsewhereNeverSetsTheFilesLogAside)
{
    const auto word = [](const std::string& bytes, size_t at) {
        return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
               uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
    };
    // Where the record keeps the log's first salt (as this machine writes a number).
    const auto saltAt = [&](const std::string& record, const std::string& log) {
        const uint32_t salt = word(log, 16);
        char bytes[4];
        std::memcpy(bytes, &salt, 4);
        return record.find(std::string(bytes, 4));
    };
    struct Case {
        const char* name;
        std::function<std::string(const TempFolder& dir, const std::string& before, const std::string& now)> record;
    };
    const Case cases[] = {
        {"the record as it stood before the fold-in (a power cut lost its later writes)",
         [](const TempFolder&, const std::string& before, const std::string&) { return before; }},
        {"a digest flipped",
         [](const TempFolder&, const std::string&, const std::string& now) {
             std::string r = now;
             r[r.size() - 8 * 3] ^= 0x01;
             return r;
         }},
        {"a salt flipped",
         [&](const TempFolder& dir, const std::string&, const std::string& now) {
             std::string r = now;
             const size_t at = saltAt(r, readFile(dir.file("Authors.cds-wal")));
             if (at != std::string::npos)
                 r[at] ^= 0x01;
             return r;
         }},
        {"the count of committed frames raised",
         [&](const TempFolder& dir, const std::string&, const std::string& now) {
             std::string r = now;
             const size_t at = saltAt(r, readFile(dir.file("Authors.cds-wal")));
             if (at != std::string::npos)
                 r[at + 8] = char(uint8_t(r[at + 8]) + 10);  // the count follows the two salts
             return r;
         }},
        {"another table's record",
         [](const TempFolder& dir, const std::string&, const std::string&) { return readFile(dir.file("Poem.cds-wal-id")); }},
        {"another folder's record",
         [](const TempFolder&, const std::string&, const std::string&) {
             TempFolder other;
             closedWith(other, 40, "other ");
             crashAfter(other, [](PoemStore& s) { addAuthors(s, 20, "other "); });
             return readFile(other.file("Authors.cds-wal-id"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        closedWith(dir, 40);
        const std::string before = dir.file("record before");
        crashAfter(dir, [&](PoemStore& s) {
            addAuthors(s, 200, "folded ");
            writeFile(before, readFile(dir.file("Authors.cds-wal-id")));
            foldIn(s);
            addAuthors(s, 5, "logged ");
        });
        const std::string now = readFile(dir.file("Authors.cds-wal-id"));
        ASSERT_FALSE(now.empty());
        ASSERT_GT(fs::file_size(dir.file("Authors.cds-wal")), 0u);
        const std::string record = c.record(dir, readFile(before), now);
        ASSERT_NE(record, now);
        writeFile(dir.file("Authors.cds-wal-id"), record);
        fs::remove(before);
        expectQuietOpening(dir, 245);
    }
}

// A record that cannot be written is no record: the log is applied as SQLite would, and the
// program saves as ever.
TEST(TableFileLogsTest, WithoutARecordTheLogIsAppliedAsItStands)
{
    TempFolder dir;
    closedWith(dir, 40);
    fs::create_directories(dir.file("Authors.cds-wal-id.new/in the way"));
    crashAfter(dir, [](PoemStore& s) { addAuthors(s, 30); });
    EXPECT_FALSE(fs::exists(dir.file("Authors.cds-wal-id")));
    ASSERT_GT(fs::file_size(dir.file("Authors.cds-wal")), 0u);
    expectQuietOpening(dir, 70);
}

// Committed changes that only the log held, lost with it after a crash, are told; a log that no
// longer held anything the file lacked is missed by nobody.
TEST(TableFileLogsTest, ALogCutShortOrDeletedAfterACrashIsTold)
{
    TempFolder dir;
    closedWith(dir, 40);
    crashAfter(dir, [](PoemStore& s) { addAuthors(s, 30); });
    std::string log = readFile(dir.file("Authors.cds-wal"));
    const size_t frame = 24 + 4096;
    ASSERT_GE(log.size(), 32 + 3 * frame);
    log.resize(log.size() - 2 * frame);  // cut at a frame's edge: SQLite takes it as whole
    writeFile(dir.file("Authors.cds-wal"), log);
    std::string notice;
    EXPECT_LT(authorsIn(dir, &notice), 70);
    const std::vector<std::string> kept = keptLogs(dir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), log);
    EXPECT_NE(notice.find("أقصر"), std::string::npos) << notice;
    EXPECT_NE(notice.find(kept[0]), std::string::npos) << notice;

    TempFolder deleted;
    closedWith(deleted, 40);
    crashAfter(deleted, [](PoemStore& s) { addAuthors(s, 30); });
    fs::remove(deleted.file("Authors.cds-wal"));
    fs::remove(deleted.file("Authors.cds-shm"));
    EXPECT_EQ(authorsIn(deleted, &notice), 40);
    EXPECT_NE(notice.find(deleted.file("Authors.cds-wal")), std::string::npos) << notice;
    EXPECT_NE(notice.find("غير موجود"), std::string::npos) << notice;
}

TEST(TableFileLogsTest, ALogGoneAfterItsChangesReachedTheFileIsNoLoss)
{
    struct Case {
        const char* name;
        bool foldedByAnotherTool;
    };
    for (const Case& c : {Case{"folded in before the crash", false}, Case{"folded in by another tool after it", true}}) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        closedWith(dir, 40);
        crashAfter(dir, [&](PoemStore& s) {
            addAuthors(s, 30);
            if (!c.foldedByAnotherTool)
                foldIn(s);
        });
        if (c.foldedByAnotherTool) {
            // Its last connection to close folds the log in and removes it.
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(dir.file("Authors.cds").c_str(), &db), SQLITE_OK);
            sqlite3_exec(db, "SELECT count(*) FROM rows", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else {
            fs::remove(dir.file("Authors.cds-wal"));
            fs::remove(dir.file("Authors.cds-shm"));
        }
        ASSERT_FALSE(fs::exists(dir.file("Authors.cds-wal")));
        expectQuietOpening(dir, 70);
    }
}

}  // namespace
