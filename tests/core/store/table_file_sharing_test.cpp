// Other SQLite programs at work on the table files while the program has them open: a reader, a
// checkpoint, the last connection folding the log in, a write of their own.
#include "child_process.h"
#include "files_fixture.h"
#include "core/store/poem_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

using namespace barqeen;
using barqeen::test::readFile;
using barqeen::test::TempFolder;
namespace fs = std::filesystem;

namespace {

// Runs statements through a connection of another process, as another tool would; answers the
// first column of the last row they gave, or "error: ...".
std::string otherProgram(const std::string& path, const std::string& statements)
{
    return test::inChild(false, [&] {
        sqlite3* db = nullptr;
        std::string answer;
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
            answer = "error: open";
        } else {
            sqlite3_busy_timeout(db, 2000);
            char* message = nullptr;
            const auto keep = [](void* into, int, char** values, char**) {
                *static_cast<std::string*>(into) = values[0] ? values[0] : "";
                return 0;
            };
            if (sqlite3_exec(db, statements.c_str(), keep, &answer, &message) != SQLITE_OK)
                answer = std::string("error: ") + (message ? message : "");
        }
        sqlite3_close(db);
        return answer;
    });
}

// What a file dialog looking into the folder does: it opens the file and closes it again, and
// with that the system drops the program's locks on it.
void glanceAt(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ::close(fd);
}

std::vector<std::string> keptFiles(const TempFolder& dir)
{
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().find("-kept-") != std::string::npos)
            kept.push_back(entry.path().string());
    return kept;
}

int authorsIn(const std::string& folder)
{
    PoemStore store(folder);
    store.OpenTables();
    const int count = store.cdsAuthors.rowCount();
    store.CloseTables();
    return count;
}

void addAuthor(PoemStore& store, const std::string& name)
{
    store.cdsAuthors.appendRecord({Value(), Value(name)});
}

// Reads, checkpoints and the last connection's fold-in by other programs change the file's size
// and time but not its rows: the program goes on saving into it, and loses nothing.
TEST(TableFileSharingTest, ReadersAndCheckpointsOfOtherProgramsAreNoReplacement)
{
    const struct {
        const char* name;
        bool glance;  // the program's locks dropped first
        const char* statements;
    } cases[] = {
        {"a read", false, "SELECT count(*) FROM rows"},
        {"a read after the locks were dropped: the last connection folds the log in", true, "SELECT count(*) FROM rows"},
        {"a checkpoint", false, "PRAGMA wal_checkpoint(TRUNCATE)"},
        {"a checkpoint after the locks were dropped", true, "PRAGMA wal_checkpoint(PASSIVE)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string file = dir.file("Authors.cds");
        {
            PoemStore store(dir.path());
            store.OpenTables();
            for (int i = 0; i < 30; ++i)
                addAuthor(store, "poet " + std::to_string(i));
            if (c.glance)
                glanceAt(file);
            EXPECT_NE(otherProgram(file, c.statements).rfind("error", 0), 0u);
            EXPECT_EQ(otherProgram(file, "SELECT count(*) FROM rows"), "30");
            for (int i = 30; i < 40; ++i)
                EXPECT_NO_THROW(addAuthor(store, "poet " + std::to_string(i)));
            // Another reader sees every row saved since, in the file or in the log.
            EXPECT_EQ(otherProgram(file, "SELECT count(*) FROM rows"), "40");
            store.cdsAuthors.last();
            store.cdsAuthors.edit();
            store.cdsAuthors.field("Info").setAsString("changed");
            EXPECT_NO_THROW(store.cdsAuthors.post());
            EXPECT_NO_THROW(store.CloseTables());
        }
        EXPECT_TRUE(keptFiles(dir).empty());
        EXPECT_FALSE(fs::exists(file + "-wal"));
        EXPECT_EQ(authorsIn(dir.path()), 40);
        EXPECT_EQ(otherProgram(file, "SELECT Info FROM rows WHERE AuthorID = 40"), "changed");
    }
}

// Another program writes rows of its own: the user is told once, the other program's rows stay
// in the file, and the program's rows, with the change that was refused, go on in a file beside
// it; nothing the user saves after that is refused or lost.
TEST(TableFileSharingTest, AWriteByAnotherProgramIsToldOnceAndLosesNothing)
{
    for (const bool glance : {false, true}) {
        SCOPED_TRACE(glance ? "the locks dropped first" : "the program's locks held");
        TempFolder dir;
        const std::string file = dir.file("Authors.cds");
        std::string message;
        {
            PoemStore store(dir.path());
            store.OpenTables();
            for (int i = 0; i < 3; ++i)
                addAuthor(store, "poet " + std::to_string(i));
            if (glance)
                glanceAt(file);
            ASSERT_EQ(otherProgram(file, "INSERT INTO rows (AuthorName) VALUES ('theirs'); SELECT count(*) FROM rows"), "4");
            Table& t = store.cdsAuthors;
            t.first();
            t.edit();
            t.field("Info").setAsString("mine");
            try {
                t.post();
                ADD_FAILURE() << "the other program's write went unnoticed";
            } catch (const Error& e) {
                message = e.what();
            }
            // The edit is still there to be saved again; now it is, and so is what follows.
            ASSERT_EQ(t.state(), Table::State::Edit);
            EXPECT_NO_THROW(t.post());
            EXPECT_NO_THROW(addAuthor(store, "poet 3"));
            EXPECT_NO_THROW(store.CloseTables());
        }
        const std::vector<std::string> kept = keptFiles(dir);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_NE(message.find(file), std::string::npos) << message;
        EXPECT_NE(message.find(kept[0]), std::string::npos) << message;
        // The other program's rows, as it left them.
        EXPECT_EQ(otherProgram(file, "SELECT group_concat(AuthorName, ',') FROM rows"), "poet 0,poet 1,poet 2,theirs");
        // The program's rows with everything saved after the conflict.
        EXPECT_EQ(otherProgram(kept[0], "SELECT group_concat(AuthorName || ':' || ifnull(Info, ''), ',') FROM rows"),
                  "poet 0:mine,poet 1:,poet 2:,poet 3:");
        fs::rename(kept[0], file);
        EXPECT_EQ(authorsIn(dir.path()), 4);
    }
}

// A trigger added by another tool would delete what the program adds: that is a write of its own.
TEST(TableFileSharingTest, ALayoutChangedByAnotherProgramIsAConflict)
{
    TempFolder dir;
    const std::string file = dir.file("Authors.cds");
    {
        PoemStore store(dir.path());
        store.OpenTables();
        for (int i = 0; i < 3; ++i)
            addAuthor(store, "poet " + std::to_string(i));
        ASSERT_EQ(otherProgram(file, "CREATE TRIGGER gone AFTER INSERT ON rows BEGIN DELETE FROM rows; END"), "");
        EXPECT_THROW(addAuthor(store, "poet 3"), Error);
        EXPECT_NO_THROW(addAuthor(store, "poet 3"));
        EXPECT_NO_THROW(store.CloseTables());
    }
    EXPECT_EQ(otherProgram(file, "SELECT group_concat(AuthorName, ',') FROM rows"), "poet 0,poet 1,poet 2");
    const std::vector<std::string> kept = keptFiles(dir);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(otherProgram(kept[0], "SELECT group_concat(AuthorName, ',') FROM rows"), "poet 0,poet 1,poet 2,poet 3");
}

// Another program's change that keeps the count of rows and the key counter (an UPDATE, a row
// deleted and added again under its key) is a write all the same: the program's next edit of
// that row is refused as a conflict and never overwrites it.
TEST(TableFileSharingTest, AChangeThatKeepsTheCountIsNoticedAndNotOverwritten)
{
    const struct {
        const char* name;
        const char* statements;
    } cases[] = {
        {"an update", "UPDATE rows SET Info = 'theirs' WHERE AuthorID = 2"},
        {"a delete and an insert under the same key",
         "DELETE FROM rows WHERE AuthorID = 2; INSERT INTO rows (AuthorID, AuthorName, Info) VALUES (2, 'poet 1', 'theirs')"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string file = dir.file("Authors.cds");
        {
            PoemStore store(dir.path());
            store.OpenTables();
            for (int i = 0; i < 3; ++i)
                addAuthor(store, "poet " + std::to_string(i));
            ASSERT_EQ(otherProgram(file, std::string(c.statements) + "; SELECT count(*) FROM rows"), "3");
            Table& t = store.cdsAuthors;
            ASSERT_TRUE(t.locate("AuthorID", Value(2)));
            t.edit();
            t.field("Info").setAsString("mine");
            EXPECT_THROW(t.post(), Error);
            ASSERT_EQ(t.state(), Table::State::Edit);
            EXPECT_NO_THROW(t.post());
            EXPECT_NO_THROW(store.CloseTables());
        }
        EXPECT_EQ(otherProgram(file, "SELECT Info FROM rows WHERE AuthorID = 2"), "theirs");
        const std::vector<std::string> kept = keptFiles(dir);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(otherProgram(kept[0], "SELECT Info FROM rows WHERE AuthorID = 2"), "mine");
    }
}

// After a conflict the program's rows go on in a kept file; the program then stops without a
// close (a crash). The kept file alone holds every row saved into it, and the next start names it.
TEST(TableFileSharingTest, RowsKeptAfterAConflictAreWholeAfterACrashAndNamedAtTheNextStart)
{
    TempFolder dir, elsewhere;
    const std::string file = dir.file("Authors.cds");
    test::inChild(false, [&] {
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        for (int i = 0; i < 3; ++i)
            addAuthor(store, "poet " + std::to_string(i));
        otherProgram(file, "INSERT INTO rows (AuthorName) VALUES ('theirs'); UPDATE barqeen_table SET next_key = 5");
        try {
            addAuthor(store, "poet 3");
        } catch (const Error&) {
        }
        addAuthor(store, "poet 3");
        addAuthor(store, "poet 4");
        _exit(0);
        return std::string();
    });
    std::vector<std::string> kept;
    for (const std::string& k : keptFiles(dir))
        if (fs::path(k).extension() == ".cds")
            kept.push_back(k);
    ASSERT_EQ(kept.size(), 1u);
    fs::copy_file(kept[0], elsewhere.file("Authors.cds"));
    EXPECT_EQ(otherProgram(elsewhere.file("Authors.cds"), "SELECT group_concat(AuthorName, ',') FROM rows"),
              "poet 0,poet 1,poet 2,poet 3,poet 4");

    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_NE(store.openingNotice().find(kept[0]), std::string::npos) << store.openingNotice();
    EXPECT_EQ(store.cdsAuthors.rowCount(), 4);
    store.CloseTables();
}

}  // namespace
