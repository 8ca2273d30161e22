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
pid_t startProgramIn(const TempFolder& dir)
{
    fs::copy_file(BARQEEN_EXECUTABLE, dir.file("barqeen"));
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
        const pid_t child = startProgramIn(dir);
        for (int i = 0; i < 500 && !fs::exists(dir.file("Barqeen.lock")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(fs::exists(dir.file("Barqeen.lock")));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the box is up by now
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
