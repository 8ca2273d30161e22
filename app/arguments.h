#pragma once
// The command line, read by QCommandLineParser in two steps: first the program's own options
// up to the command word, then the rest with the options of that command. `--data DIR` is taken
// anywhere.
#include <QString>
#include <QStringList>

class QCommandLineOption;
class QCommandLineParser;

namespace barqeen {

struct CommandLine {
    QString dataDir;        // --data DIR; empty when not given
    bool help = false;      // -h, --help, or the word help
    bool version = false;   // -v, --version
    QString command;        // import, export, meter, or a word not known; empty: the windows
    QStringList rest;       // after the command word (the windows: the files), options included
    QString missingFile;    // the first word names a file (it is no command word) that is not there
    QString error;          // in Arabic: what in the line was not understood
};

// args holds the program's name first, as QCoreApplication::arguments does.
CommandLine readCommandLine(const QStringList& args);

// Parses the rest of a command line with the command's options (and --data, which goes to
// line.dataDir, and -h, --help); false with line.error set when it is not understood.
bool readCommandOptions(CommandLine& line, QCommandLineParser& parser, const QList<QCommandLineOption>& options);

}  // namespace barqeen
