// No room and no right to write are no damage: a full disk (here a file-size limit, which the
// system meets as a full disk) and a folder that cannot be written leave the tables readable,
// every change refused for its true reason, export working, and the files as they were.
#include "child_process.h"
#include "core/exchange/verse_export.h"
#include "file_size_limit.h"
#include "files_fixture.h"
#include "core/store/poem_store.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace barqeen;
using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

void makeFolder(const TempFolder& dir, int categories)
{
    PoemStore store(dir.path());
    store.OpenTables();
    for (int i = 1; i <= categories; ++i)
        store.cdsCategories.appendRecord({Value(), Value("category " + std::to_string(i))});
    store.CloseTables();
}

const char* const kTables[] = {"Poem.cds", "Authors.cds", "Categories.cds", "History.cds", "PlayerPoem.cds"};

// Opens the folder, then tells what the user meets: the notice, the rows, a change refused or
// saved, an export, the close.
std::string useTheTables(const std::string& folder, const std::string& exportTo)
{
    PoemStore store(folder);
    store.OpenTables();
    std::string seen = "notice: " + store.openingNotice() + "\nrows: " +
                       std::to_string(store.cdsCategories.recordCount()) + "\n";
    try {
        store.cdsCategories.appendRecord({Value(), Value("new")});
        seen += "saved\n";
    } catch (const Error& e) {
        seen += std::string("refused: ") + e.what() + "\n";
    }
    seen += "rows after: " + std::to_string(store.cdsCategories.recordCount()) + "\n";
    exchange::VerseExport out(store, exchange::allVerses(store.cdsPoem), exportTo);
    seen += out.run().outcome == exchange::ExportResult::Outcome::Done ? "exported\n" : "export failed: " + out.result().error + "\n";
    try {
        store.CloseTables();
        seen += "closed\n";
    } catch (const Error& e) {
        seen += std::string("close: ") + e.what() + "\n";
    }
    return seen;
}

TEST(TableFileNoRoomTest, AFolderThatCannotBeWrittenIsReadAndExported)
{
    TempFolder dir, elsewhere;
    makeFolder(dir, 2);
    std::vector<std::string> before;
    for (const char* name : kTables)
        before.push_back(readFile(dir.file(name)));
    for (const auto& entry : fs::directory_iterator(dir.path()))
        ::chown(entry.path().c_str(), kNobody, kNobody);
    ::chown(dir.path().c_str(), kNobody, kNobody);
    ::chmod(dir.path().c_str(), 0555);
    ::chmod(elsewhere.path().c_str(), 0777);
    const std::string seen = inChild(true, [&] { return useTheTables(dir.path(), elsewhere.file("out.csv")); });
    ::chmod(dir.path().c_str(), 0777);

    EXPECT_NE(seen.find(dir.file("Categories.cds") + "\u2069 للقراءة فقط (لا يسمح النظام بالكتابة في مجلده"),
              std::string::npos)
        << seen;
    EXPECT_NE(seen.find("rows: 2\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("refused: "), std::string::npos) << seen;
    EXPECT_NE(seen.find("للقراءة فقط (لا يسمح النظام بالكتابة في مجلده"), std::string::npos) << seen;
    EXPECT_NE(seen.find("rows after: 2\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("exported\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("closed\n"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("تالف"), std::string::npos) << seen;
    for (size_t i = 0; i < std::size(kTables); ++i) {
        EXPECT_EQ(readFile(dir.file(kTables[i])), before[i]) << kTables[i];
        for (const char* end : {"-wal", "-shm"})
            EXPECT_FALSE(fs::exists(dir.file(std::string(kTables[i]) + end))) << kTables[i] << end;
    }
}

// No room for the log's index (32 KiB) beside the files: they are read as they stand.
TEST(TableFileNoRoomTest, NoRoomForTheLogsIndexOpensReadOnlyWithTheReason)
{
    TempFolder dir;
    makeFolder(dir, 2);
    std::vector<std::string> before;
    for (const char* name : kTables)
        before.push_back(readFile(dir.file(name)));
    const std::string seen = inChild(false, [&] {
        FileSizeLimit limit(24 * 1024);
        return useTheTables(dir.path(), dir.file("out.csv"));
    });

    EXPECT_NE(seen.find(dir.file("Categories.cds") + "\u2069 للقراءة فقط (بلغت الملفات أكبر حجم يسمح به النظام"),
              std::string::npos)
        << seen;
    EXPECT_NE(seen.find("rows: 2\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("refused: "), std::string::npos) << seen;
    EXPECT_NE(seen.find("rows after: 2\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("exported\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("closed\n"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("تالف"), std::string::npos) << seen;
    for (size_t i = 0; i < std::size(kTables); ++i) {
        EXPECT_EQ(readFile(dir.file(kTables[i])), before[i]) << kTables[i];
        for (const char* end : {"-wal", "-shm"})
            EXPECT_FALSE(fs::exists(dir.file(std::string(kTables[i]) + end))) << kTables[i] << end;
    }
    // With room again, the tables are written as ever.
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.openingNotice(), "");
    store.cdsCategories.appendRecord({Value(), Value("new")});
    store.CloseTables();
}

// The disk fills while the program runs: the log that cannot be folded in at the close is told,
// stays beside the file, and gives every row back at the next start.
TEST(TableFileNoRoomTest, ALogThatCannotBeFoldedInAtCloseIsToldAndKept)
{
    TempFolder dir;
    makeFolder(dir, 0);
    const std::string seen = inChild(false, [&] {
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        for (int i = 1; i <= 400; ++i)
            store.cdsCategories.appendRecord({Value(), Value("category " + std::to_string(i))});
        FileSizeLimit limit(fs::file_size(dir.file("Categories.cds")));
        try {
            store.CloseTables();
            return std::string("closed");
        } catch (const Error& e) {
            return std::string("close: ") + e.what();
        }
    });
    EXPECT_NE(seen.find("close: "), std::string::npos) << seen;
    EXPECT_NE(seen.find(dir.file("Categories.cds-wal")), std::string::npos) << seen;
    EXPECT_NE(seen.find("بلغت الملفات أكبر حجم يسمح به النظام"), std::string::npos) << seen;
    EXPECT_TRUE(fs::exists(dir.file("Categories.cds-wal")));

    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsCategories.recordCount(), 400);
    store.CloseTables();
    EXPECT_FALSE(fs::exists(dir.file("Categories.cds-wal")));
}

// The disk fills while the program sits idle: the fold-in that has to grow the file is cut
// short, leaving some of the log's pages in a file shorter than its header says. That is the
// program's own doing, no replacement: the log stays and is read with the file, a change that
// finds no room is refused for that reason, and once there is room again the program goes on
// saving into the same file and loses nothing.
TEST(TableFileNoRoomTest, AnIdleFoldInCutShortByAFullDiskLeavesTheFileWorking)
{
    TempFolder dir;
    makeFolder(dir, 0);
    const std::string file = dir.file("Authors.cds");
    const std::string seen = inChild(false, [&] {
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        for (int i = 1; i <= 300; ++i)
            store.cdsAuthors.appendRecord({Value(), Value("poet " + std::to_string(i)), Value(std::string(400, 'x'))});
        const auto before = fs::file_size(file);
        std::string seen;
        {
            FileSizeLimit limit(before + 4096);
            store.fileOf(store.cdsAuthors)->foldLog();
            seen += fs::file_size(file) > before ? "grown part-way\n" : "not grown\n";
            try {
                store.cdsAuthors.appendRecord({Value(), Value("refused")});
                seen += "saved under the limit\n";
            } catch (const Error& e) {
                seen += std::string("refused: ") + e.what() + "\n";
            }
        }
        try {
            store.cdsAuthors.appendRecord({Value(), Value("with room")});
            seen += "saved with room\n";
            store.CloseTables();
            seen += "closed\n";
        } catch (const Error& e) {
            seen += std::string("failed: ") + e.what() + "\n";
        }
        return seen;
    });
    EXPECT_NE(seen.find("grown part-way\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("refused: "), std::string::npos) << seen;
    EXPECT_EQ(seen.find("استُبدل"), std::string::npos) << seen;
    EXPECT_NE(seen.find("saved with room\nclosed\n"), std::string::npos) << seen;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("-kept-"), std::string::npos) << entry.path();
    EXPECT_FALSE(fs::exists(file + "-wal"));

    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.openingNotice(), "");
    ASSERT_EQ(store.cdsAuthors.recordCount(), 301);
    store.cdsAuthors.last();
    EXPECT_EQ(store.cdsAuthors.field("AuthorName").asString(), "with room");
    store.CloseTables();
}

// The file-size limit reached in the middle of a session: the change refused names the limit,
// as the opening does, and not a bare "disk I/O error"; the change is still saved once the limit
// is lifted.
TEST(TableFileNoRoomTest, AChangeRefusedByTheSizeLimitNamesIt)
{
    TempFolder dir;
    makeFolder(dir, 0);
    const std::string seen = inChild(false, [&] {
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        store.cdsCategories.appendRecord({Value(), Value("first")});
        std::string seen;
        {
            FileSizeLimit limit(fs::file_size(dir.file("Categories.cds-wal")));
            try {
                store.cdsCategories.appendRecord({Value(), Value("second")});
                seen += "saved under the limit\n";
            } catch (const Error& e) {
                seen += std::string("refused: ") + e.what() + "\n";
            }
        }
        store.cdsCategories.appendRecord({Value(), Value("second")});
        store.CloseTables();
        return seen + "rows: " + std::to_string(store.cdsCategories.recordCount()) + "\n";
    });
    EXPECT_NE(seen.find("refused: "), std::string::npos) << seen;
    EXPECT_NE(seen.find("بلغت الملفات أكبر حجم يسمح به النظام"), std::string::npos) << seen;
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsCategories.recordCount(), 2);
    store.CloseTables();
}

// A folder that cannot be written, with a log a crash left beside a table: the log's own check is
// made all the same. The file's own log is read with it and named (it must not be deleted); the
// log of an older copy put back in the file's place is not applied, and nothing is moved.
TEST(TableFileNoRoomTest, AReadOnlyFolderWithALogLeftByACrashChecksTheLog)
{
    for (const bool olderCopy : {false, true}) {
        SCOPED_TRACE(olderCopy ? "an older copy put back" : "the file's own log");
        TempFolder dir, elsewhere;
        makeFolder(dir, 2);
        const std::string file = dir.file("Categories.cds");
        const std::string older = readFile(file);
        inChild(false, [&] {
            PoemStore store(dir.path());
            store.setIdleFolding(false);
            store.OpenTables();
            store.cdsCategories.appendRecord({Value(), Value("folded")});
            store.fileOf(store.cdsCategories)->foldLog();
            store.cdsCategories.appendRecord({Value(), Value("logged")});
            _exit(0);
            return std::string();
        });
        if (olderCopy)
            writeFile(file, older);
        for (const auto& entry : fs::directory_iterator(dir.path()))
            ::chown(entry.path().c_str(), kNobody, kNobody);
        ::chown(dir.path().c_str(), kNobody, kNobody);
        ::chmod(dir.path().c_str(), 0555);
        ::chmod(elsewhere.path().c_str(), 0777);
        const std::string log = readFile(file + "-wal");
        const std::string seen = inChild(true, [&] { return useTheTables(dir.path(), elsewhere.file("out.csv")); });
        ::chmod(dir.path().c_str(), 0777);

        EXPECT_NE(seen.find(olderCopy ? "rows: 2\nrefused" : "rows: 4\nrefused"), std::string::npos) << seen;
        EXPECT_NE(seen.find(file + "-wal"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("malformed"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("تالف"), std::string::npos) << seen;
        if (olderCopy) {
            EXPECT_NE(seen.find("لا يخصه"), std::string::npos) << seen;
        }
        EXPECT_EQ(readFile(file + "-wal"), log);
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find("-kept-"), std::string::npos) << entry.path();
    }
}

// Mounts a small disk of its own on folder, seen by this process alone (a mount namespace of its
// own; without root, a user namespace too). Answers "" or what failed.
std::string mountDiskOn(const std::string& folder)
{
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            return "unshare failed";
    } else {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return "unshare failed";
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=4m") != 0)
        return "mount failed";
    return "";
}

// The disk the tables are on is mounted read-only (a medium that cannot be written, a disk the
// system remounted read-only): the tables open for reading, naming the read-only disk, whether
// or not a crash left a log beside them.
TEST(TableFileNoRoomTest, AReadOnlyDiskOpensTheTablesReadOnlyNamingIt)
{
    for (const bool crashed : {false, true}) {
        SCOPED_TRACE(crashed ? "with a log left by a crash" : "closed cleanly");
        TempFolder dir, elsewhere;
        const std::string seen = inChild(false, [&] {
            if (const std::string failed = mountDiskOn(dir.path()); !failed.empty())
                return failed;
            makeFolder(dir, 2);
            if (crashed) {
                const pid_t writer = ::fork();
                if (writer == 0) {
                    PoemStore store(dir.path());
                    store.setIdleFolding(false);
                    store.OpenTables();
                    store.cdsCategories.appendRecord({Value(), Value("logged")});
                    _exit(0);
                }
                ::waitpid(writer, nullptr, 0);
            }
            if (::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return std::string("remount failed");
            return useTheTables(dir.path(), elsewhere.file("out.csv"));
        });
        EXPECT_NE(seen.find(dir.file("Categories.cds") + "\u2069 للقراءة فقط (القرص للقراءة فقط"), std::string::npos)
            << seen;
        EXPECT_NE(seen.find(dir.file("Authors.cds") + "\u2069 للقراءة فقط (القرص للقراءة فقط"), std::string::npos)
            << seen;
        EXPECT_NE(seen.find("refused: "), std::string::npos) << seen;
        EXPECT_NE(seen.find("exported\n"), std::string::npos) << seen;
        EXPECT_NE(seen.find("closed\n"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("تالف"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("لا يسمح النظام"), std::string::npos) << seen;
        // The crash left the log's index beside the log: SQLite reads the log through it.
        EXPECT_NE(seen.find(crashed ? "rows: 3\nrefused" : "rows: 2\nrefused"), std::string::npos) << seen;
    }
}

}  // namespace
