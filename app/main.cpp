// The program: one copy per data folder, every window made at start-up, the main window shown.
// Or one of its commands for scripts (import, export), without any window.
#include "app/command_line.h"
#include "app/program.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/shutdown.h"

#include <QApplication>
#include <QLockFile>

int main(int argc, char** argv)
{
    using namespace barqeen;
    if (isCommand(argc, argv))
        return runCommand(argc, argv);
    if (!hasDisplay())
        return refuseWithoutDisplay();
    QApplication app(argc, argv);
    // Before anything can show a box: a stop asked during start-up ends the program in order.
    OrderlyShutdown shutdown;
    setUpApplication(app);
    const QString dir = QCoreApplication::applicationDirPath();
    bool anotherCopyRuns = false;
    const std::unique_ptr<QLockFile> lock = lockDataFolder(dir, anotherCopyRuns);
    if (anotherCopyRuns)
        return 1;
    if (shutdown.stopAsked())
        return 0;
    Program program(dir, QCoreApplication::applicationFilePath());
    if (shutdown.stopAsked())
        return 0;  // the tables close with the program
    shutdown.setMainWindow(program.fmMain.get());
    program.fmMain->show();
    return app.exec();
}
