// A writer killed at each system call of its commits, fold-ins and close in turn (strace's fault
// injection): at the next start every committed row is there, and where nothing was lost nothing
// is said: no warning, no copy of a log, nothing set aside.
#include "files_fixture.h"
#include "core/store/poem_store.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

using namespace barqeen;
using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

bool haveStrace()
{
    return std::system("strace -V >/dev/null 2>&1") == 0;
}

// Runs the writer under strace, which kills it at the n-th call of syscall; answers how many
// commits it reported, or -1 when it ran to its end.
int committedBeforeKill(const std::string& dir, const std::string& syscall, int n, int commits)
{
    const std::string out = dir + "/../writer-" + std::to_string(::getpid()) + ".out";
    const std::string command = "strace -f -qq -o /dev/null -e trace=" + syscall + " -e inject=" + syscall +
                                ":signal=KILL:when=" + std::to_string(n) + " " TABLE_WRITER " '" + dir + "' " +
                                std::to_string(commits) + " close >'" + out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    const std::string said = readFile(out);
    fs::remove(out);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return -1;
    int committed = 0;
    for (size_t at = 0; (at = said.find("committed ", at)) != std::string::npos; at += 10)
        ++committed;
    return committed;
}

TEST(TableFileCrashTest, KilledAtAnyWriteOrFlushNothingIsLostAndNothingIsSaid)
{
    if (!haveStrace())
        GTEST_SKIP() << "strace is needed to kill the writer at its system calls (scripts/install-deps installs it)";
    TempFolder base;
    {
        PoemStore store(base.path());
        store.OpenTables();
        for (int i = 1; i <= 20; ++i)
            store.AddPlayerPoem(i, "before " + std::to_string(i));
        store.CloseTables();
    }
    constexpr int kCommits = 4;
    int rounds = 0;
    for (const char* syscall : {"pwrite64", "fdatasync", "fsync", "ftruncate", "rename", "unlink", "openat"}) {
        for (int n = 1; n < 400; ++n) {
            SCOPED_TRACE(std::string("killed at ") + syscall + " " + std::to_string(n));
            TempFolder dir;
            fs::copy(base.path(), dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
            const int committed = committedBeforeKill(dir.path(), syscall, n, kCommits);
            ++rounds;
            PoemStore store(dir.path());
            store.OpenTables();
            EXPECT_EQ(store.openingNotice(), "");
            const int rows = store.cdsPlayerPoem.rowCount() - 20;
            if (committed < 0) {
                EXPECT_EQ(rows, kCommits);
            } else {
                EXPECT_GE(rows, committed);
                EXPECT_LE(rows, committed + 1);
            }
            store.CloseTables();
            for (const auto& entry : fs::directory_iterator(dir.path())) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name.find("-kept-") == std::string::npos && name.find(".new") == std::string::npos) << name;
            }
            if (committed < 0)
                break;
        }
    }
    RecordProperty("kill_points", rounds);  // the figure of the run, in --gtest_output=xml
    EXPECT_GT(rounds, 20);
}

// The record beside the file (-wal-id) says which pages the file may hold after a crash. Whenever
// the file itself is written (a fold-in, the close), what the record was last told has reached the
// disk before: a power cut never leaves the record older than the file.
TEST(TableFileCrashTest, TheLogsRecordReachesTheDiskBeforeTheFileIsWritten)
{
    if (!haveStrace())
        GTEST_SKIP() << "strace is needed to watch the writer's system calls (scripts/install-deps installs it)";
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.CloseTables();
    }
    const std::string trace = dir.path() + "/../writer-" + std::to_string(::getpid()) + ".trace";
    const std::string command = "strace -f -qq -y -o '" + trace + "' -e trace=pwrite64,write,fsync,fdatasync " TABLE_WRITER
                                " '" + dir.path() + "' 6 close >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::istringstream calls(readFile(trace));
    fs::remove(trace);
    const std::regex call(R"(^\d+ +(\w+)\(\d+<([^>]*)>)");
    const std::string table = dir.path() + "/PlayerPoem.cds";
    bool recordUnsynced = false;
    int fileWrites = 0, recordSyncs = 0;
    for (std::string line; std::getline(calls, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, call))
            continue;
        const std::string name = m[1], path = m[2];
        const bool sync = name == "fsync" || name == "fdatasync";
        if (path == table + "-wal-id") {
            recordUnsynced = !sync;
            recordSyncs += sync;
        } else if (path == table && !sync) {
            ++fileWrites;
            EXPECT_FALSE(recordUnsynced) << line;
        }
    }
    EXPECT_GT(fileWrites, 0);
    EXPECT_GT(recordSyncs, 0);
}

}  // namespace
