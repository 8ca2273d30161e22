// Table files under what a user's machine does to them: cut short, damaged values, rows changed
// or files replaced by another program while this one runs, read-only files, things that are not
// files, other time zones, and the write-ahead log that must not outlive a close.
#include "child_process.h"
#include "files_fixture.h"
#include "core/store/datetime.h"
#include "core/store/layouts.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace barqeen;
using barqeen::test::readFile;
using barqeen::test::TempFolder;
using barqeen::test::writeFile;
namespace fs = std::filesystem;

namespace {

void sql(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// A folder with the five tables; fill adds rows through an open store.
void makeFolder(const TempFolder& dir, const std::function<void(PoemStore&)>& fill = {})
{
    PoemStore store(dir.path());
    store.OpenTables();
    if (fill)
        fill(store);
    store.CloseTables();
}

void addCategories(PoemStore& store, int count)
{
    for (int i = 1; i <= count; ++i)
        store.cdsCategories.appendRecord({Value(), Value("category " + std::to_string(i))});
}

std::vector<std::string> namesOf(Table& t, const char* field)
{
    std::vector<std::string> names;
    for (t.first(); !t.eof(); t.next())
        names.push_back(t.field(field).asString());
    return names;
}

// Opening the folder must fail on this file, name it, give a reason containing `reason`, and
// leave the file byte for byte as it was, with nothing beside it.
void expectRefused(const TempFolder& dir, const std::string& file, const std::string& reason)
{
    const bool plain = fs::is_regular_file(dir.file(file));
    const std::string bytes = plain ? readFile(dir.file(file)) : "";
    {
        PoemStore store(dir.path());
        try {
            store.OpenTables();
            ADD_FAILURE() << "the file was opened";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(dir.file(file)), std::string::npos) << message;
            EXPECT_NE(message.find(reason), std::string::npos) << message;
        }
        store.CloseTables();
    }
    if (plain) {
        EXPECT_EQ(readFile(dir.file(file)), bytes);
    }
    for (const char* end : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(fs::exists(dir.file(file + end))) << end;
}

// Runs body in a child process as an ordinary user (when the tests run as root, permissions
// would not bind); answers what body returned, or a note on how the child ended.
std::string asOrdinaryUser(const TempFolder& dir, const std::function<std::string()>& body)
{
    ::chmod(dir.path().c_str(), 0777);
    ::chown(dir.path().c_str(), test::kNobody, test::kNobody);  // the user may then take away its own right to write
    for (const auto& entry : fs::directory_iterator(dir.path()))
        ::chown(entry.path().c_str(), test::kNobody, test::kNobody);
    return test::inChild(true, body);
}

TEST(TableFileTest, FilesCutShortAreRefused)
{
    std::string whole;
    {
        TempFolder dir;
        makeFolder(dir, [](PoemStore& s) {
            for (int i = 0; i < 400; ++i)
                s.cdsPoem.appendRecord({Value(), Value(std::string(150, char('a' + i % 26))), Value(), Value(),
                                        Value("a"), Value("b"), Value("(1)(2)")});
        });
        whole = readFile(dir.file("Poem.cds"));
    }
    ASSERT_GT(whole.size(), 12 * 4096u);
    ASSERT_EQ(whole.size() % 4096, 0u);
    for (const size_t cut : {whole.size() - 1, whole.size() - 4096, whole.size() - 3 * 4096,
                             whole.size() - 3 * 4096 + 256}) {
        SCOPED_TRACE(cut);
        TempFolder dir;
        makeFolder(dir);
        writeFile(dir.file("Poem.cds"), whole.substr(0, cut));
        expectRefused(dir, "Poem.cds", "قُطع");
    }
}

// Files SQLite reads without complaint, holding values the program never writes.
TEST(TableFileTest, RowsTheProgramNeverWritesAreRefusedAsDamage)
{
    const struct {
        const char* what;
        const char* file;
        const char* change;
        const char* reason;
    } cases[] = {
        {"key 0", "Categories.cds", "UPDATE rows SET CategoryID = 0 WHERE CategoryID = 2", "مفتاح غير صالح"},
        {"negative key", "Categories.cds", "UPDATE rows SET CategoryID = -5 WHERE CategoryID = 1", "مفتاح غير صالح"},
        {"key not below the counter", "Categories.cds", "UPDATE barqeen_table SET next_key = 3", "مفتاح غير صالح"},
        {"counter past 32 bits", "History.cds", "UPDATE barqeen_table SET next_key = 4294967301", "خارج مداه"},
        {"counter zero", "Categories.cds", "UPDATE barqeen_table SET next_key = 0", "خارج مداه"},
        {"NULL in a required text", "Categories.cds", "UPDATE rows SET CategoryName = NULL WHERE CategoryID = 2",
         "CategoryName"},
        {"empty required text", "Categories.cds", "UPDATE rows SET CategoryName = '' WHERE CategoryID = 2",
         "CategoryName"},
        {"NULL in a required date", "History.cds", "UPDATE rows SET PlayTime = NULL", "PlayTime"},
        {"NULL in a required number", "PlayerPoem.cds", "UPDATE rows SET GameID = NULL", "GameID"},
        {"2^40 in a 32-bit field", "History.cds", "UPDATE rows SET Duration = 1099511627776", "خارج مدى"},
        {"70000 in a small field", "History.cds", "UPDATE rows SET EndType = 70000", "خارج مدى"},
        {"text in a number field", "History.cds", "UPDATE rows SET Rounds = 'x'", "Rounds"},
        {"a NUL inside a text", "Poem.cds", "UPDATE rows SET Categories = '(1)(2' || char(0)", "Categories"},
        {"text that is not UTF-8", "Authors.cds", "UPDATE rows SET AuthorName = CAST(x'41d8' AS TEXT)", "AuthorName"},
        {"text longer than its field", "Poem.cds", "UPDATE rows SET StartLetter = 'ab'", "StartLetter"},
        {"a date that is no date", "History.cds", "UPDATE rows SET PlayTime = '2024-02-30 10:00:00'", "PlayTime"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        makeFolder(dir, [](PoemStore& s) {
            addCategories(s, 3);
            s.cdsAuthors.appendRecord({Value(), Value("poet")});
            s.cdsPoem.appendRecord({Value(), Value("verse"), Value(), Value(1), Value("a"), Value("b"), Value("(1)")});
            const int game = s.AddHistory("player", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
            s.FinishHistory(game, 60, 3, 1);
            s.AddPlayerPoem(game, "said");
        });
        sql(dir.file(c.file), c.change);
        expectRefused(dir, c.file, c.reason);
    }
}

TEST(TableFileTest, ALargeKeyTakesNoMoreMemoryThanItsRows)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
    TempFolder dir;
    makeFolder(dir, [](PoemStore& s) { addCategories(s, 2); });
    sql(dir.file("Categories.cds"),
        "UPDATE rows SET CategoryID = 100000000 WHERE CategoryID = 2; UPDATE barqeen_table SET next_key = 100000001");
    const pid_t child = ::fork();
    if (child == 0) {
        // A reservation for every key up to 100,000,000 would need gigabytes.
        const rlimit limit{size_t(2) << 30, size_t(2) << 30};
        ::setrlimit(RLIMIT_AS, &limit);
        try {
            PoemStore store(dir.path());
            store.OpenTables();
            _exit(store.cdsCategories.recordCount() == 2 && store.cdsCategories.nextKey() == 100000001 ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TableFileTest, RunningOutOfMemoryWhileOpeningNamesTheFile)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
    TempFolder dir;
    {
        // No thread of the store's may have run here: a finished thread leaves memory behind that
        // the reading under the limit below could use.
        PoemStore store(dir.path());
        store.setIdleFolding(false);
        store.OpenTables();
        store.CloseTables();
    }
    // Written by another process, so that the memory it took is not free for the reading below.
    if (const pid_t writer = ::fork(); writer == 0) {
        Table poem("Poem");
        layouts::definePoem(poem);
        poem.createDataSet();
        const std::string verse(60000, 'x');
        for (int i = 0; i < 1500; ++i)  // 90 MB of text
            poem.appendRecord({Value(), Value(verse), Value(), Value("a"), Value("b")});
        TableFile::write(dir.file("Poem.cds"), poem, "Poem");
        _exit(0);
    } else {
        ::waitpid(writer, nullptr, 0);
    }
    // Read in a process started afresh: memory that the threads of earlier tests left to this
    // process's allocator would otherwise hold the rows below the limit.
    const auto readUnderLimit = [&] {
        std::ifstream status("/proc/self/status");
        std::string line;
        size_t used = 0;
        while (std::getline(status, line))
            if (line.rfind("VmSize:", 0) == 0)
                used = std::stoul(line.substr(7)) * 1024;
        const rlimit limit{used + (40u << 20), used + (40u << 20)};
        ::setrlimit(RLIMIT_AS, &limit);
        std::string answer = "opened";
        try {
            PoemStore store(dir.path());
            store.OpenTables();
            answer += " " + std::to_string(store.cdsPoem.rowCount()) + " rows";
        } catch (const Error& e) {
            answer = e.what();
        }
        const bool named = answer.find(dir.file("Poem.cds")) != std::string::npos &&
                           answer.find("الذاكرة") != std::string::npos;
        std::fprintf(stderr, "%s\n", answer.c_str());
        std::error_code ec;
        fs::remove_all(dir.path(), ec);  // the folder's owner ends here
        std::_Exit(named ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readUnderLimit(), ::testing::ExitedWithCode(0), "");
}

// Another program deletes rows behind this one's back: the change that would touch no row is
// refused, memory stays as it was, the file keeps what the other program left, and the
// program's own rows are written beside it, where its later changes go.
TEST(TableFileTest, AWriteThatTouchesNoRowIsRefused)
{
    TempFolder dir;
    makeFolder(dir, [](PoemStore& s) { addCategories(s, 3); });
    PoemStore store(dir.path());
    store.OpenTables();
    Table& t = store.cdsCategories;
    sql(dir.file("Categories.cds"), "DELETE FROM rows WHERE CategoryID = 2");
    ASSERT_TRUE(t.locate("CategoryID", Value(2)));
    t.edit();
    t.field("CategoryName").setAsString("changed");
    try {
        t.post();
        FAIL() << "the change was reported saved";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("Categories.cds")), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("-kept-"), std::string::npos) << e.what();
    }
    t.cancel();
    EXPECT_EQ(namesOf(t, "CategoryName"), (std::vector<std::string>{"category 1", "category 2", "category 3"}));
    // Later changes go to the rows kept beside, never to the file the other program changed.
    ASSERT_TRUE(t.locate("CategoryID", Value(3)));
    EXPECT_NO_THROW(t.remove());
    EXPECT_NO_THROW(t.appendRecord({Value(), Value("new")}));
    EXPECT_NO_THROW(store.CloseTables());

    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().rfind("Categories-kept-", 0) == 0)
            kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    PoemStore after(dir.path());
    after.OpenTables();
    EXPECT_EQ(namesOf(after.cdsCategories, "CategoryName"), (std::vector<std::string>{"category 1", "category 3"}));
    after.CloseTables();
    fs::rename(kept[0], dir.file("Categories.cds"));
    PoemStore fromKept(dir.path());
    fromKept.OpenTables();
    EXPECT_EQ(namesOf(fromKept.cdsCategories, "CategoryName"),
              (std::vector<std::string>{"category 1", "category 2", "new"}));
}

// The file at the path is another one, put there by renaming or by copying over it in place,
// found at a commit or at close: the replacement is left byte for byte, the program's rows are
// kept beside it under a name that says so, and the user is told.
TEST(TableFileTest, AFileReplacedWhileOpenIsNeverOverwritten)
{
    for (const bool inPlace : {false, true})
        for (const bool atClose : {false, true}) {
            SCOPED_TRACE(std::string(inPlace ? "copied over" : "renamed over") + (atClose ? ", at close" : ", at a commit"));
            TempFolder dir;
            makeFolder(dir, [](PoemStore& s) { addCategories(s, 2); });
            const std::string older = readFile(dir.file("Categories.cds"));
            std::string message;
            {
                PoemStore store(dir.path());
                store.OpenTables();
                addCategories(store, 2);  // the program now holds four rows
                if (inPlace) {
                    writeFile(dir.file("Categories.cds"), older);
                } else {
                    writeFile(dir.file("replacement"), older);
                    fs::rename(dir.file("replacement"), dir.file("Categories.cds"));
                }
                if (!atClose) {
                    try {
                        store.cdsCategories.appendRecord({Value(), Value("fifth")});
                        ADD_FAILURE() << "the commit went into the replacement";
                    } catch (const Error& e) {
                        message = e.what();
                    }
                    EXPECT_EQ(store.cdsCategories.recordCount(), 4);
                    EXPECT_NO_THROW(store.CloseTables());
                } else {
                    try {
                        store.CloseTables();
                        ADD_FAILURE() << "the close said nothing";
                    } catch (const Error& e) {
                        message = e.what();
                    }
                }
            }
            EXPECT_NE(message.find(dir.file("Categories.cds")), std::string::npos) << message;
            EXPECT_NE(message.find("استُبدل"), std::string::npos) << message;
            EXPECT_EQ(readFile(dir.file("Categories.cds")), older);
            for (const char* end : {"-wal", "-shm"})
                EXPECT_FALSE(fs::exists(dir.file(std::string("Categories.cds") + end))) << end;
            std::string keptPath;
            for (const auto& entry : fs::directory_iterator(dir.path()))
                if (entry.path().filename().string().rfind("Categories-kept-", 0) == 0)
                    keptPath = entry.path().string();
            ASSERT_FALSE(keptPath.empty());
            EXPECT_NE(message.find(keptPath), std::string::npos) << message;
            fs::rename(keptPath, dir.file("Categories.cds"));
            PoemStore kept(dir.path());
            kept.OpenTables();
            EXPECT_EQ(kept.cdsCategories.recordCount(), 4);
        }
}

TEST(TableFileTest, ThingsThatAreNotReadableFilesAreNamedForWhatTheyAre)
{
    {
        TempFolder dir;
        makeFolder(dir);
        fs::remove(dir.file("History.cds"));
        fs::create_directory(dir.file("History.cds"));
        expectRefused(dir, "History.cds", "مجلد");
    }
    {
        TempFolder dir;
        makeFolder(dir);
        fs::remove(dir.file("History.cds"));
        ASSERT_EQ(::mkfifo(dir.file("History.cds").c_str(), 0644), 0);
        PoemStore store(dir.path());
        try {
            store.OpenTables();
            FAIL();
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("ليس ملفًا عاديًا"), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).find("تالف"), std::string::npos) << e.what();
        }
    }
    {
        TempFolder dir;
        makeFolder(dir);
        ::chmod(dir.file("History.cds").c_str(), 0);
        const std::string answer = asOrdinaryUser(dir, [&] {
            PoemStore store(dir.path());
            store.OpenTables();
            return std::string("opened");
        });
        EXPECT_NE(answer.find(dir.file("History.cds")), std::string::npos) << answer;
        EXPECT_NE(answer.find("الصلاحيات"), std::string::npos) << answer;
        EXPECT_EQ(answer.find("تالف"), std::string::npos) << answer;
    }
}

TEST(TableFileTest, AReadOnlyFileIsAnnouncedAtOpeningAndNeverWritten)
{
    for (const bool readOnlyFolder : {false, true}) {
        SCOPED_TRACE(readOnlyFolder ? "read-only folder" : "read-only file");
        TempFolder dir;
        makeFolder(dir, [](PoemStore& s) { addCategories(s, 2); });
        const std::string before = readFile(dir.file("Categories.cds"));
        ::chmod(dir.file("Categories.cds").c_str(), 0444);
        const std::string answer = asOrdinaryUser(dir, [&] {
            if (readOnlyFolder)
                ::chmod(dir.path().c_str(), 0555);
            PoemStore store(dir.path());
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
            store.CloseTables();
            return seen;
        });
        ::chmod(dir.path().c_str(), 0777);
        EXPECT_NE(answer.find("notice: "), std::string::npos) << answer;
        EXPECT_NE(answer.find(dir.file("Categories.cds") + "\u2069 للقراءة فقط"), std::string::npos) << answer;
        EXPECT_NE(answer.find("rows: 2"), std::string::npos) << answer;
        EXPECT_NE(answer.find("refused: "), std::string::npos) << answer;
        EXPECT_NE(answer.find("للقراءة فقط (لا يسمح النظام بالكتابة"), std::string::npos) << answer;
        EXPECT_NE(answer.find("لم يُحفظ التغيير"), std::string::npos) << answer;
        EXPECT_NE(answer.find("rows after: 2"), std::string::npos) << answer;
        EXPECT_EQ(readFile(dir.file("Categories.cds")), before);
        for (const char* end : {"-wal", "-shm"})
            EXPECT_FALSE(fs::exists(dir.file(std::string("Categories.cds") + end))) << end;
    }
}

// Sets the machine's time zone for one scope, as a user moving between zones would.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST(TableFileTest, DateTimesReadBackInAnyTimeZone)
{
    TempFolder dir;
    // Wall-clock times that Berlin skips (spring) and repeats (autumn), and New York skips.
    const QDateTime times[] = {
        QDateTime(QDate(2024, 3, 31), QTime(2, 30)),
        QDateTime(QDate(2024, 10, 27), QTime(2, 30)),
        QDateTime(QDate(2024, 3, 10), QTime(2, 15, 9)),
    };
    std::vector<int64_t> stamps;
    {
        TimeZone zone("UTC");
        makeFolder(dir, [&](PoemStore& s) {
            for (const QDateTime& t : times)
                s.AddHistory("player", t);
        });
        for (const QDateTime& t : times)
            stamps.push_back(datetime::fromLocal(t));
    }
    for (const char* zoneName : {"Europe/Berlin", "America/New_York", "Asia/Riyadh"}) {
        SCOPED_TRACE(zoneName);
        TimeZone zone(zoneName);
        PoemStore store(dir.path());
        ASSERT_NO_THROW(store.OpenTables());
        Table& history = store.cdsHistory;
        ASSERT_EQ(history.recordCount(), 3);
        int i = 0;
        for (history.first(); !history.eof(); history.next(), ++i) {
            const int64_t stamp = history.field("PlayTime").value().integer();
            EXPECT_EQ(stamp, stamps[size_t(i)]);
            const QDateTime shown = datetime::toLocal(stamp);
            EXPECT_TRUE(shown.isValid());
            EXPECT_EQ(shown.date(), times[i].date());
            EXPECT_EQ(shown.time(), times[i].time());
            EXPECT_EQ(datetime::fromLocal(shown), stamp);
        }
        EXPECT_EQ(history.field("PlayTime").asString(), "2024-03-10 02:15:09");
        // A new game in the gap is recorded and read back too.
        store.AddHistory("player", QDateTime(QDate(2024, 3, 31), QTime(2, 45), Qt::UTC));
        store.CloseTables();
        PoemStore again(dir.path());
        ASSERT_NO_THROW(again.OpenTables());
        again.cdsHistory.last();
        EXPECT_EQ(again.cdsHistory.field("PlayTime").asString(), "2024-03-31 02:45:00");
        again.cdsHistory.remove();
    }
}

bool inLogMode(const std::string& path)
{
    const std::string bytes = readFile(path);
    return bytes.size() > 19 && bytes[18] == 2 && bytes[19] == 2;
}

// Commits go through a write-ahead log; a close leaves the .cds file alone holding everything.
// Files written in the older rollback-journal mode open as they were and change over.
TEST(TableFileTest, TheLogIsFoldedIntoTheFileAtClose)
{
    TempFolder dir;
    makeFolder(dir);
    sql(dir.file("Authors.cds"), "PRAGMA journal_mode = DELETE");
    ASSERT_FALSE(inLogMode(dir.file("Authors.cds")));
    {
        PoemStore store(dir.path());
        store.OpenTables();
        for (int i = 0; i < 50; ++i)
            store.cdsAuthors.appendRecord({Value(), Value("poet " + std::to_string(i))});
        EXPECT_TRUE(fs::exists(dir.file("Authors.cds-wal")));
        store.CloseTables();
    }
    for (const char* f : {"Poem.cds", "Authors.cds", "Categories.cds", "History.cds", "PlayerPoem.cds"}) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(inLogMode(dir.file(f)));
        for (const char* end : {"-wal", "-shm", "-journal"})
            EXPECT_FALSE(fs::exists(dir.file(std::string(f) + end))) << end;
    }
    // The file alone, copied elsewhere, holds every row.
    TempFolder copy;
    makeFolder(copy);
    fs::copy_file(dir.file("Authors.cds"), copy.file("Authors.cds"), fs::copy_options::overwrite_existing);
    PoemStore store(copy.path());
    store.OpenTables();
    EXPECT_EQ(store.cdsAuthors.recordCount(), 50);
}

}  // namespace
