// The real program started in a data folder of its own: what a stop signal and a read-only
// table do at start-up.
#include "child_process.h"
#include "files_fixture.h"
#include "scripted_dialogs.h"
#include "windows/main/main_window.h"
#include "core/store/poem_store.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace barqeen;
using namespace barqeen::test;
namespace fs = std::filesystem;

namespace {

// The program keeps its tables beside itself: a copy of it in the folder starts on that folder.
// It writes a line to shownLog as each box comes up.
pid_t startProgramIn(const TempFolder& dir, const std::string& shownLog)
{
    fs::copy_file(BARQEEN_EXECUTABLE, dir.file("barqeen"));
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("BARQEEN_SHOWN_LOG", shownLog.c_str(), 1);
        ::execl(dir.file("barqeen").c_str(), "barqeen", nullptr);
        _exit(127);
    }
    return child;
}

// The child's status, or -1 when it did not end in time.
int waitFor(pid_t child, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(child, &status, WNOHANG) == child)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
}

// True once the file holds a line, false when the limit came first.
bool untilALineIn(const std::string& file, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (fs::exists(file) && readFile(file).find('\n') != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(StartUpTest, AStopSignalWhileAStartUpBoxIsUpEndsTheProgramInOrder)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TempFolder dir;
        {
            PoemStore store(dir.path());
            store.OpenTables();
            store.CloseTables();
        }
        // A damaged verse table: the program says so in a box at start-up.
        writeFile(dir.file("Poem.cds"), std::string(5000, 'z'));
        TempFolder logs;
        const std::string shown = logs.file("shown.log");
        const pid_t child = startProgramIn(dir, shown);
        const bool boxUp = untilALineIn(shown, std::chrono::seconds(60));
        if (!boxUp)
            waitFor(child, std::chrono::seconds(0));  // not left running
        ASSERT_TRUE(boxUp) << "no box came up at start-up";
        EXPECT_NE(readFile(shown).find("Poem.cds"), std::string::npos) << readFile(shown);
        ASSERT_TRUE(fs::exists(dir.file("Barqeen.lock")));
        ::kill(child, signal);
        const int status = waitFor(child, std::chrono::seconds(15));
        ASSERT_NE(status, -1) << "the program did not end";
        EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself: " << status;
        EXPECT_FALSE(fs::exists(dir.file("Barqeen.lock")));
        EXPECT_EQ(readFile(dir.file("Poem.cds")), std::string(5000, 'z'));
    }
}

TEST(StartUpTest, AReadOnlyTableIsAnnouncedWhenTheMainWindowOpens)
{
    TempFolder dir;
    {
        PoemStore store(dir.path());
        store.OpenTables();
        store.CloseTables();
    }
    ::chmod(dir.file("History.cds").c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        ::chown(entry.path().c_str(), kNobody, kNobody);
    // As an ordinary user: permissions do not bind root.
    const std::string seen = inChild(true, [&] {
        ScriptedDialogsScope dialogs;
        std::string shown;
        TfmMain w(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
        for (const Shown& s : dialogs->shown)
            shown += s.kind.toStdString() + ": " + s.text.toStdString() + "\n";
        shown += w.cdsPoem().active() ? "tables open\n" : "tables closed\n";
        return shown;
    });
    ASSERT_EQ(seen.find("child ended"), std::string::npos) << seen;
    EXPECT_NE(seen.find("warning: "), std::string::npos) << seen;
    EXPECT_NE(seen.find(dir.file("History.cds") + "\u2069 للقراءة فقط"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("Categories.cds"), std::string::npos) << seen;
    EXPECT_NE(seen.find("tables open"), std::string::npos) << seen;
}

}  // namespace
