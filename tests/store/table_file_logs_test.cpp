// The write-ahead logs a crash leaves beside the table files: a log that belongs to another file
// is set aside, a damaged one copied and told.
#include "files_fixture.h"
#include "store/poem_store.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

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

TEST(TableFileLogsTest, ALogLeftByACrashIsAppliedOnlyToTheFileItWasWrittenFor)
{
    for (const bool putBack : {false, true}) {
        SCOPED_TRACE(putBack ? "another copy put in place after the crash" : "the file as the crash left it");
        TempFolder dir, other;
        {
            PoemStore store(other.path());
            store.OpenTables();
            addAuthors(store, 2, "theirs ");
            store.CloseTables();
        }
        {
            PoemStore store(dir.path());
            store.OpenTables();
            store.CloseTables();
        }
        crashAfter(dir, [](PoemStore& s) { addAuthors(s, 40); });
        ASSERT_GT(fs::file_size(dir.file("Authors.cds-wal")), 0u);
        if (putBack)
            writeFile(dir.file("Authors.cds"), readFile(other.file("Authors.cds")));
        const std::string copy = readFile(dir.file("Authors.cds"));
        PoemStore store(dir.path());
        store.OpenTables();
        const std::string notice = store.openingNotice();
        if (!putBack) {
            EXPECT_EQ(store.cdsAuthors.rowCount(), 40);
            EXPECT_TRUE(keptLogs(dir).empty());
            EXPECT_EQ(notice, "");
            continue;
        }
        EXPECT_EQ(store.cdsAuthors.rowCount(), 2);
        const std::vector<std::string> kept = keptLogs(dir);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_NE(notice.find(dir.file("Authors.cds")), std::string::npos) << notice;
        EXPECT_NE(notice.find(kept[0]), std::string::npos) << notice;
        store.CloseTables();
        EXPECT_EQ(readFile(dir.file("Authors.cds")), copy) << "the user's copy was changed";
    }
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

}  // namespace
