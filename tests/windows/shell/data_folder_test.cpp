// Where the started program keeps its tables: the real executable started as a person starts it,
// its folder writable or not, installed or a copy of its own, or told where with --data.
#include "files_fixture.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

struct Start {
    std::string executable;
    std::vector<std::string> args;
    std::string dataHome;       // XDG_DATA_HOME: the user's data folder lies under it
    std::string workFolder;     // where the program is started from
    bool asOrdinaryUser = false;
};

// Starts the window program on the offscreen platform; as an ordinary user when asked (the
// tests may run as root, whom permissions do not bind).
pid_t start(const Start& s)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (s.asOrdinaryUser && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            _exit(126);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("XDG_DATA_HOME", s.dataHome.c_str(), 1);
        ::setenv("HOME", s.dataHome.c_str(), 1);
        if (::chdir(s.workFolder.c_str()) != 0)
            _exit(125);
        std::vector<char*> argv{const_cast<char*>("barqeen")};
        for (const std::string& a : s.args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(s.executable.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

bool waitForFile(const std::string& path, pid_t child)
{
    for (int i = 0; i < 1500; ++i) {  // up to 30 s on a busy machine
        if (fs::exists(path))
            return true;
        if (int status = 0; ::waitpid(child, &status, WNOHANG) == child)
            return false;  // ended without making it
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Stops the program as the desktop does at log-out, and waits for it to end.
void stop(pid_t child)
{
    ::kill(child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 750 && ::waitpid(child, &status, WNOHANG) != child; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (::waitpid(child, &status, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "the program did not end on a stop signal";
    }
}

void giveTo(const std::string& path, uid_t owner, mode_t mode)
{
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

std::string copyProgramTo(const std::string& folder)
{
    fs::create_directories(folder);
    const std::string exe = folder + "/barqeen";
    fs::copy_file(BARQEEN_EXECUTABLE, exe);
    return exe;
}

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Reachable by the ordinary user the read-only case runs as.
        ::chmod(root.path().c_str(), 0755);
        fs::create_directories(home());
        fs::create_directories(work());
        giveTo(home(), kNobody, 0755);
        giveTo(work(), kNobody, 0755);
    }
    std::string home() const { return root.file("home"); }
    std::string work() const { return root.file("work"); }
    std::string userData() const { return home() + "/Barqeen"; }

    // Starts the program, waits for its verse table in `expected`, stops it.
    void expectTablesIn(const Start& s, const std::string& expected)
    {
        const pid_t child = start(s);
        EXPECT_TRUE(waitForFile(expected + "/Poem.cds", child)) << "no tables in " << expected;
        stop(child);
    }

    TempFolder root;
};

TEST_F(DataFolderTest, AWritableCopyOfItsOwnKeepsTheTablesBesideItself)
{
    const std::string exe = copyProgramTo(root.file("portable"));
    expectTablesIn({exe, {}, home(), work()}, root.file("portable"));
    EXPECT_FALSE(fs::exists(userData()));
}

TEST_F(DataFolderTest, AFolderTheUserCannotWriteSendsTheTablesToTheUsersDataFolder)
{
    const std::string exe = copyProgramTo(root.file("shared"));
    giveTo(root.file("shared"), 0, 0555);
    expectTablesIn({exe, {}, home(), work(), true}, userData());
    EXPECT_FALSE(fs::exists(root.file("shared/Poem.cds")));
    // A second start finds them there, verse table and all.
    const auto written = fs::last_write_time(userData() + "/Poem.cds");
    expectTablesIn({exe, {}, home(), work(), true}, userData());
    EXPECT_EQ(fs::last_write_time(userData() + "/Poem.cds"), written);
}

TEST_F(DataFolderTest, AnInstalledProgramUsesTheUsersDataFolderEvenWhereItCouldWrite)
{
    const std::string exe = copyProgramTo(root.file("usr/bin"));
    fs::create_directories(root.file("usr/share/applications"));
    writeFile(root.file("usr/share/applications/" BARQEEN_DESKTOP_ID ".desktop"), "[Desktop Entry]\n");
    expectTablesIn({exe, {}, home(), work()}, userData());
    EXPECT_FALSE(fs::exists(root.file("usr/bin/Poem.cds")));
}

TEST_F(DataFolderTest, TheDataOptionChoosesTheFolderAndMakesIt)
{
    const std::string exe = copyProgramTo(root.file("portable"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--data", "club"}, std::vector<std::string>{"--data=other/club"}}) {
        const std::string folder = work() + "/" + (args.size() == 2 ? args[1] : args[0].substr(7));
        expectTablesIn({exe, args, home(), work()}, folder);
    }
    EXPECT_FALSE(fs::exists(root.file("portable/Poem.cds")));
    EXPECT_FALSE(fs::exists(userData()));
}

}  // namespace
