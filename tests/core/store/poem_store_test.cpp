// The five table files: creating, opening, closing, the row writers, and files that are damaged,
// foreign, unwritable, deleted, or cut short by a crash.
#include "files_fixture.h"
#include "core/store/datetime.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <sqlite3.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>

using namespace barqeen;
using barqeen::test::readFile;
using barqeen::test::TempFolder;
using barqeen::test::writeFile;

namespace {

const char* const kFiles[] = {"Poem.cds", "Authors.cds", "Categories.cds", "History.cds", "PlayerPoem.cds"};

std::string arabic(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

std::vector<Table*> tablesOf(PoemStore& s)
{
    return {&s.cdsPoem, &s.cdsAuthors, &s.cdsCategories, &s.cdsHistory, &s.cdsPlayerPoem};
}

TEST(PoemStoreTest, FirstStartMakesFiveEmptyTables)
{
    TempFolder dir;
    PoemStore store(dir.path());
    store.OpenTables();
    for (const char* f : kFiles)
        EXPECT_TRUE(std::filesystem::exists(dir.file(f))) << f;
    for (Table* t : tablesOf(store)) {
        EXPECT_TRUE(t->active()) << t->name();
        EXPECT_EQ(t->recordCount(), 0) << t->name();
    }
    store.CloseTables();
    for (Table* t : tablesOf(store))
        EXPECT_FALSE(t->active());
}

TEST(PoemStoreTest, RowsKeysAndTypesSurviveARestart)
{
    TempFolder dir;
    const std::string verse = arabic("قِفا نَبكِ مِن ذِكرى حَبيبٍ وَمَنزِلِ\r\nبِسِقطِ اللِوى بَينَ الدَخولِ فَحَومَلِ");
    const QDateTime played(QDate(2026, 3, 1), QTime(21, 5, 7));
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value(arabic("امرؤ القيس")), Value(arabic("شاعر جاهلي"))});
        store.cdsPoem.appendRecord({Value(), Value("first"), Value(), Value(), Value("a"), Value("b")});
        store.cdsPoem.remove();
        // Values by field position: the looked-up author name (position 2) is left empty.
        store.cdsPoem.appendRecord({Value(), Value(verse), Value(), Value(1), Value(arabic("ق")), Value(arabic("ل")),
                                    Value("(3)(12)")});
        EXPECT_EQ(store.AddHistory(arabic("سالم"), played), 1);
        store.CloseTables();
    }
    PoemStore store(dir.path());
    store.OpenTables();
    Table& poem = store.cdsPoem;
    ASSERT_EQ(poem.recordCount(), 1);
    EXPECT_EQ(poem.field("TextID").asInteger(), 2);
    EXPECT_EQ(poem.field("Text").asString(), verse);
    EXPECT_EQ(poem.field("AuthorName").asString(), arabic("امرؤ القيس"));
    EXPECT_EQ(poem.field("StartLetter").asString(), arabic("ق"));
    EXPECT_EQ(poem.field("Categories").asString(), "(3)(12)");
    EXPECT_EQ(datetime::toLocal(store.cdsHistory.field("PlayTime").value().integer()), played);
    EXPECT_TRUE(store.cdsHistory.field("Duration").isNull());
    // The key counter came back with the file: the deleted key 1 is not given again.
    poem.appendRecord({Value(), Value("x"), Value(), Value(), Value("a"), Value("b")});
    EXPECT_EQ(poem.field("TextID").asInteger(), 3);
}

TEST(PoemStoreTest, FilesStoreReadableUtf8)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsCategories.appendRecord({Value(), Value(arabic("غزل"))});
        store.CloseTables();
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("Categories.cds").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT CategoryName FROM rows", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "غزل");
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST(PoemStoreTest, HistoryRowFromStartToFinish)
{
    TempFolder dir;
    PoemStore store(dir.path());
    store.OpenTables();
    const std::string longName(25, '\xD3');
    const int id = store.AddHistory(longName, QDateTime::currentDateTime());
    store.AddPlayerPoem(id, "verse");
    Table& h = store.cdsHistory;
    EXPECT_EQ(h.field("PlayerName").asString(), std::string(20, '\xD3'));
    for (const char* f : {"Duration", "Rounds", "EndType"})
        EXPECT_TRUE(h.field(f).isNull()) << f;

    store.FinishHistory(99, 1, 2, 2);  // no such game: nothing changes, nothing reported
    EXPECT_TRUE(h.field("Rounds").isNull());

    store.FinishHistory(id, 3, 5, 2);
    store.CloseTables();
    PoemStore again(dir.path());
    again.OpenTables();
    EXPECT_EQ(again.cdsHistory.field("Duration").asInteger(), 3);
    EXPECT_EQ(again.cdsHistory.field("Rounds").asInteger(), 5);
    EXPECT_EQ(again.cdsHistory.field("EndType").asInteger(), 2);
    EXPECT_EQ(again.cdsPlayerPoem.field("GameID").asInteger(), id);
}

TEST(PoemStoreTest, EmptyPlayerNameAddsNoRow)
{
    TempFolder dir;
    PoemStore store(dir.path());
    store.OpenTables();
    try {
        store.AddHistory("", QDateTime::currentDateTime());
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Field value required.");
    }
    EXPECT_EQ(store.cdsHistory.recordCount(), 0);
    EXPECT_EQ(store.cdsHistory.nextKey(), 1);
}

TEST(PoemStoreTest, ReadOnlyUseLeavesEveryFileUntouched)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value("a")});
        store.CloseTables();
    }
    std::vector<std::string> before;
    for (const char* f : kFiles)
        before.push_back(readFile(dir.file(f)));
    struct stat st {};
    ::stat(dir.file("Authors.cds").c_str(), &st);
    const auto mtime = st.st_mtim;
    PoemStore store(dir.path());
    store.OpenTables();
    for (Table* t : tablesOf(store))
        for (t->first(); !t->eof(); t->next()) {
        }
    store.cdsAuthors.edit();  // started but unchanged: dropped at close
    store.CloseTables();
    for (size_t i = 0; i < std::size(kFiles); ++i)
        EXPECT_EQ(readFile(dir.file(kFiles[i])), before[i]) << kFiles[i];
    ::stat(dir.file("Authors.cds").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_nsec, mtime.tv_nsec);
    EXPECT_EQ(st.st_mtim.tv_sec, mtime.tv_sec);
}

TEST(PoemStoreTest, PendingEditIsDroppedAtClose)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsCategories.appendRecord({Value(), Value("old")});
        store.cdsCategories.edit();
        store.cdsCategories.field("CategoryName").setAsString("new");
        store.CloseTables();
    }
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsCategories.field("CategoryName").asString(), "old");
}

TEST(PoemStoreTest, AFileDeletedBetweenRunsIsRemadeAloneAndEmpty)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value("a")});
        store.cdsCategories.appendRecord({Value(), Value("c")});
        store.CloseTables();
    }
    std::filesystem::remove(dir.file("Categories.cds"));
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsAuthors.recordCount(), 1);
    EXPECT_EQ(store.cdsCategories.recordCount(), 0);
}

TEST(PoemStoreTest, AFileDeletedWhileOpenIsWrittenAgainWhole)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value("a")});
        store.cdsCategories.appendRecord({Value(), Value("c")});
        std::filesystem::remove(dir.file("Authors.cds"));
        std::filesystem::remove(dir.file("Categories.cds"));
        store.cdsCategories.appendRecord({Value(), Value("d")});  // a commit rewrites it at once
        EXPECT_TRUE(std::filesystem::exists(dir.file("Categories.cds")));
        store.CloseTables();  // the untouched one is rewritten at close
    }
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsAuthors.recordCount(), 1);
    EXPECT_EQ(store.cdsCategories.recordCount(), 2);
    store.cdsCategories.appendRecord({Value(), Value("e")});
    EXPECT_EQ(store.cdsCategories.field("CategoryID").asInteger(), 3);
}

// Files that exist but are not readable tables of ours: the open names the file, the tables
// after it stay closed, and the file is left byte for byte as it was.
TEST(PoemStoreTest, DamagedOrForeignFilesAreRefusedAndNeverWritten)
{
    std::string goodPoem;
    std::string authorsFile;
    {
        TempFolder dir;
        PoemStore store(dir.path());
        store.OpenTables();
        for (int i = 0; i < 300; ++i)
            store.cdsPoem.appendRecord({Value(), Value(std::string(200, char('a' + i % 26))), Value(), Value(),
                                        Value("a"), Value("b")});
        store.CloseTables();
        goodPoem = readFile(dir.file("Poem.cds"));
        authorsFile = readFile(dir.file("Authors.cds"));
    }
    ASSERT_GT(goodPoem.size(), 8192u);
    const std::string foreign = [] {
        TempFolder dir;
        sqlite3* db = nullptr;
        sqlite3_open(dir.file("x.db").c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE rows (a); INSERT INTO rows VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return readFile(dir.file("x.db"));
    }();
    std::string flipped = goodPoem;
    for (size_t i = 4096; i < flipped.size(); i += 7)
        flipped[i] = char(~flipped[i]);

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"garbage", std::string(5000, 'z')},
        {"empty", ""},
        {"truncated", goodPoem.substr(0, goodPoem.size() / 2)},
        {"header only", goodPoem.substr(0, 100)},
        {"scrambled pages", flipped},
        {"foreign sqlite", foreign},
        {"another table's file", authorsFile},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        TempFolder dir;
        {
            PoemStore store(dir.path());
            store.OpenTables();
            store.CloseTables();
        }
        writeFile(dir.file("Poem.cds"), bytes);
        PoemStore store(dir.path());
        try {
            store.OpenTables();
            FAIL() << "the damaged file was opened";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(dir.file("Poem.cds")), std::string::npos) << e.what();
        }
        EXPECT_TRUE(store.cdsAuthors.active());  // opened before the verse table
        for (Table* t : {&store.cdsPoem, &store.cdsPlayerPoem, &store.cdsHistory, &store.cdsCategories})
            EXPECT_FALSE(t->active()) << t->name();
        store.CloseTables();
        EXPECT_EQ(readFile(dir.file("Poem.cds")), bytes);
        EXPECT_FALSE(std::filesystem::exists(dir.file("Poem.cds-journal")));
    }
}

TEST(PoemStoreTest, FolderThatCannotHoldFilesGivesAnErrorNamingTheFile)
{
    TempFolder dir;
    writeFile(dir.file("not-a-folder"), "x");
    PoemStore store(dir.file("not-a-folder"));
    try {
        store.OpenTables();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("not-a-folder") + "/Poem.cds"), std::string::npos) << e.what();
    }
    for (Table* t : tablesOf(store))
        EXPECT_FALSE(t->active());
    EXPECT_NO_THROW(store.CloseTables());
}

TEST(PoemStoreTest, ReadOnlyFolderIsReportedWhenWriting)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; the missing-folder test covers the message";
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.CloseTables();
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    PoemStore store(dir.path());
    store.OpenTables();
    EXPECT_THROW(store.cdsAuthors.appendRecord({Value(), Value("a")}), Error);
    EXPECT_EQ(store.cdsAuthors.recordCount(), 0);
    store.CloseTables();
}

TEST(PoemStoreTest, CommitToAFolderThatVanishedFailsAndKeepsMemoryAsItWas)
{
    TempFolder parent;
    const std::string dir = parent.file("data");
    std::filesystem::create_directory(dir);
    PoemStore store(dir);
    store.OpenTables();
    store.cdsAuthors.appendRecord({Value(), Value("kept")});
    std::filesystem::remove_all(dir);
    try {
        store.cdsAuthors.appendRecord({Value(), Value("lost?")});
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir + "/Authors.cds"), std::string::npos) << e.what();
    }
    EXPECT_EQ(store.cdsAuthors.recordCount(), 1);
    EXPECT_THROW(store.CloseTables(), Error);  // every table is closed all the same
    for (Table* t : tablesOf(store))
        EXPECT_FALSE(t->active());
}

TEST(PoemStoreTest, KillDuringWritesLosesNoCommittedRow)
{
    for (int round = 0; round < 3; ++round) {
        TempFolder dir;
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], 1);
            close(out[0]);
            execl(TABLE_WRITER, TABLE_WRITER, dir.path().c_str(), "100000", nullptr);
            _exit(127);
        }
        close(out[1]);
        FILE* lines = fdopen(out[0], "r");
        int committed = 0;
        char line[64];
        const int killAfter = 20 + round * 37;
        while (committed < killAfter && std::fgets(line, sizeof line, lines))
            std::sscanf(line, "committed %d", &committed);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        fclose(lines);
        ASSERT_EQ(committed, killAfter);

        PoemStore store(dir.path());
        store.OpenTables();
        EXPECT_GE(store.cdsPlayerPoem.recordCount(), committed);
        for (int id = 1; id <= committed; ++id)
            EXPECT_TRUE(store.cdsPlayerPoem.locate("GameID", Value(id))) << id;
        store.CloseTables();
    }
}

}  // namespace
