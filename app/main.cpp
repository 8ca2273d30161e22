// The program: one copy per data folder, every window made at start-up, the main window shown.
// Or one of its commands for scripts (import, export), without any window.
#include "app/arguments.h"
#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/program.h"
#include "windows/shell/application.h"
#include "windows/shell/dialogs.h"
#include "windows/main/main_window.h"
#include "windows/shell/shutdown.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLockFile>
#include <QTimer>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace barqeen;
    // A file that may grow no further (a file-size limit) is a failed write the tables report
    // and survive, as a full disk is, not the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (isCommand(argc, argv))
        return runCommand(argc, argv);
    if (!hasDisplay())
        return refuseWithoutDisplay();
    QApplication app(argc, argv);
    // Before anything can show a box: a stop asked during start-up ends the program in order.
    OrderlyShutdown shutdown;
    setUpApplication(app);
    // barqeen [--data DIR] [FILE…]: the files are imported into the verse window once it opens.
    CommandLine line = readCommandLine(app.arguments());
    QCommandLineParser parser;
    if (line.error.isEmpty())
        readCommandOptions(line, parser, {});
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(line.error));
        return 2;
    }
    const QStringList files = line.rest;
    const QString dir = dataFolderFor(line.dataDir, QCoreApplication::applicationDirPath());
    if (QString error; !makeDataFolder(dir, error)) {
        Dialogs::warning(error);
        return 1;
    }
    bool anotherCopyRuns = false;
    const std::unique_ptr<QLockFile> lock = lockDataFolder(dir, anotherCopyRuns);
    if (anotherCopyRuns)
        return 1;
    if (shutdown.stopAsked())
        return 0;
    // The window first: the tables are read behind it, once it is on the screen.
    Program program(dir, QCoreApplication::applicationFilePath(), TfmMain::TablesOpen::Behind);
    if (shutdown.stopAsked())
        return 0;  // the tables close with the program
    TfmMain& mainWindow = *program.fmMain;
    shutdown.setMainWindow(&mainWindow, [&mainWindow] { mainWindow.closeWithoutQuestions(); });
    program.fmMain->show();
    // Once the loop runs, over the shown main window.
    QTimer::singleShot(0, program.fmMain.get(), [&program, files] { program.afterShow(files); });
    return app.exec();
}
