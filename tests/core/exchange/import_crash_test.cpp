// An import killed at each of its disk flushes in turn: at the next start the tables hold all of
// it or none of it, never poets and categories without their verses.
#include "exchange_fixture.h"
#include "core/store/batch_record.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

using namespace barqeen;
using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

bool haveStrace()
{
    return std::system("strace -V >/dev/null 2>&1") == 0;
}

// Runs the importer under strace, which kills it at its n-th flush (fsync or fdatasync); true
// when it was killed, false when it ran to its end first.
bool importKilledAtFlush(const std::string& dir, const std::string& source, int n)
{
    const std::string command = "strace -f -qq -o /dev/null -e trace=fsync,fdatasync -e inject=fsync,fdatasync:signal=KILL:when=" +
                                std::to_string(n) + " " TABLE_WRITER " '" + dir + "' import '" + source + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    // strace passes the importer's end on: killed by a signal shows as 128 + 9 from the shell.
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(ImportCrashTest, KilledAtAnyFlushTheImportIsAllOrNothingAtTheNextStart)
{
    if (!haveStrace())
        GTEST_SKIP() << "strace is needed to kill the importer at its flushes (scripts/install-deps installs it)";
    TempFolder base;
    {
        PoemStore store(base.path());
        store.OpenTables();
        store.cdsAuthors.appendRecord({Value(), Value(cp("المتنبي"))});
        store.CloseTables();
    }
    std::string csv = "text,poet,categories\n";
    for (int i = 0; i < 300; ++i)
        csv += "بيت رقم " + std::to_string(i) + " من الشعر,شاعر " + std::to_string(i / 10) + ",موضوع " +
               std::to_string(i % 7) + "\n";
    TempFolder sources;
    const std::string source = sources.file("verses.csv");
    writeFile(source, csv);

    int undone = 0, whole = 0, none = 0;
    bool ranToEnd = false;
    for (int n = 1; n < 200 && !ranToEnd; ++n) {
        SCOPED_TRACE("killed at flush " + std::to_string(n));
        TempFolder dir;
        fs::copy(base.path(), dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        ranToEnd = !importKilledAtFlush(dir.path(), source, n);
        PoemStore store(dir.path());
        store.OpenTables();
        const std::string notice = store.openingNotice();
        undone += notice.find("أُزيل ما حُفظ منه") != std::string::npos;
        const int poets = store.cdsAuthors.rowCount(), categories = store.cdsCategories.rowCount(),
                  verses = store.cdsPoem.rowCount();
        if (verses == 300) {
            ++whole;
            EXPECT_EQ(poets, 31);
            EXPECT_EQ(categories, 7);
        } else {
            ++none;
            EXPECT_EQ(verses, 0);
            EXPECT_EQ(poets, 1);
            EXPECT_EQ(categories, 0);
            EXPECT_EQ(store.cdsAuthors.nextKey(), 2);
            EXPECT_EQ(store.cdsCategories.nextKey(), 1);
        }
        EXPECT_FALSE(fs::exists(batch_record::pathIn(dir.path())));
        EXPECT_FALSE(fs::exists(batch_record::pathIn(dir.path()) + ".new"));
        // Nothing committed was lost: the only word is that an unfinished import was undone.
        EXPECT_TRUE(notice.empty() || notice.find("أُزيل ما حُفظ منه") != std::string::npos) << notice;
        EXPECT_EQ(notice.find("تنقص"), std::string::npos) << notice;
        store.CloseTables();
    }
    RecordProperty("whole", whole);  // the figures of the run, in --gtest_output=xml
    RecordProperty("none", none);
    RecordProperty("undone", undone);
    EXPECT_TRUE(ranToEnd);
    EXPECT_GT(whole, 0);
    EXPECT_GT(none, 0);
    // Some kills came between the files' commits, and were undone.
    EXPECT_GT(undone, 0);
}

}  // namespace
