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
