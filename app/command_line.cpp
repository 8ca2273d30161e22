#include "app/command_line.h"
#include "app/usage_text.h"

#include "windows/shell/starter_collection.h"

#include "app/arguments.h"
#include "app/data_folder.h"
#include "app/meter_command.h"
#include "app/option_messages.h"
#include "windows/shell/dialogs.h"

#include "core/exchange/import_report.h"
#include "core/prosody/poem_meter_note.h"
#include "core/exchange/verse_export.h"
#include "core/exchange/verse_import.h"
#include "core/rules/turn_rules.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QLockFile>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace barqeen {
namespace {

using namespace exchange;

constexpr int kDone = 0, kFailed = 1, kMisused = 2, kProgramRuns = 3;


void say(std::FILE* to, const std::string& text)
{
    std::fputs(text.c_str(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

int misused(const std::string& why)
{
    say(stderr, why);
    std::fputs(kUsage, stderr);
    return kMisused;
}

// The start letter a verse stored with this first letter has (the alif group as أ);
// empty when no verse begins with it.
std::string startLetterOf(char letter)
{
    letter = FoldAlifGroup(letter);
    return PlayableLetters.find(letter) == std::string_view::npos ? std::string() : std::string(1, letter);
}

QCommandLineOption valued(const char* name, const char* valueName)
{
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

QCommandLineOption flag(const char* name)
{
    return QCommandLineOption(QString::fromLatin1(name));
}

// The options of each command.
const QCommandLineOption kFormat = valued("format", "FORMAT");
const QCommandLineOption kEncoding = valued("encoding", "ENCODING");
const QCommandLineOption kLayout = valued("layout", "LAYOUT");
const QCommandLineOption kSeparator = valued("separator", "TEXT");
const QCommandLineOption kHeadingPoet = valued("heading-poet", "RULE");
const QCommandLineOption kDryRun = flag("dry-run");
const QCommandLineOption kNoReport = flag("no-report");
const QCommandLineOption kStarter = flag("starter");
const QCommandLineOption kLetter = valued("letter", "LETTER");
const QCommandLineOption kOverwrite = flag("overwrite");
const QCommandLineOption kScan = flag("scan");
const QCommandLineOption kPoem = valued("poem", "FILE");
const QCommandLineOption kTable = flag("table");

QList<QCommandLineOption> optionsOf(const QString& command)
{
    if (command == QLatin1String("import"))
        return {kFormat, kEncoding, kLayout, kSeparator, kHeadingPoet, kDryRun, kNoReport, kStarter};
    if (command == QLatin1String("export"))
        return {kFormat, kLetter, kOverwrite};
    if (command == QLatin1String("meter"))
        return {kScan, kPoem, kTable};
    return {};
}

// The value of a set option, as the bytes of the command line's text.
std::string valueOf(const QCommandLineParser& parser, const QCommandLineOption& option)
{
    return parser.value(option).toStdString();
}

// Steps the work, showing its progress on a terminal.
template <class Work>
void runShowingProgress(Work& work, const std::string& name)
{
    const bool terminal = ::isatty(STDERR_FILENO);
    int shown = -1;
    while (work.step(std::chrono::milliseconds(200))) {
        const int percent = int(work.progress() * 100);
        if (terminal && percent != shown) {
            std::fprintf(stderr, "\r%s: %d%%", name.c_str(), percent);
            shown = percent;
        }
    }
    if (terminal && shown >= 0)
        std::fputs("\r\033[K", stderr);
}

int importFiles(PoemStore& store, const QCommandLineParser& parser, const std::vector<std::string>& files)
{
    ImportOptions options;
    options.poemMeter = prosody::readPoemMeter;  // a poem's meter, in the summary and the report
    if (parser.isSet(kFormat) && !parseFormat(valueOf(parser, kFormat), options.format))
        return misused("صيغة غير معروفة: " + valueOf(parser, kFormat));
    if (parser.isSet(kEncoding) && !parseEncoding(valueOf(parser, kEncoding), options.encoding))
        return misused("ترميز غير معروف: " + valueOf(parser, kEncoding));
    if (parser.isSet(kLayout) && !parseLayout(valueOf(parser, kLayout), options.layout.kind))
        return misused("ترتيب غير معروف للشطرين: " + valueOf(parser, kLayout));
    if (parser.isSet(kSeparator)) {
        if (valueOf(parser, kSeparator).empty())
            return misused("الخيار --separator يأخذ النص الذي بين الشطرين.");
        options.layout = {Layout::Custom, valueOf(parser, kSeparator)};
    }
    if (parser.isSet(kHeadingPoet) && !parseHeadingPoet(valueOf(parser, kHeadingPoet), options.headingPoet))
        return misused("قاعدة غير معروفة للعناوين: " + valueOf(parser, kHeadingPoet));
    options.dryRun = parser.isSet(kDryRun);
    options.writeReport = !parser.isSet(kNoReport);
    // The starter collection built into the program, written out for the import; the verses
    // already in the table are refused as any import refuses repeats.
    std::optional<StarterCollection> starter;
    std::vector<std::string> sources = files;
    if (parser.isSet(kStarter)) {
        starter.emplace();
        if (starter->path().isEmpty()) {
            say(stderr, starter->error().toStdString());
            return kFailed;
        }
        sources.push_back(starter->path().toStdString());
    }
    if (sources.empty())
        return misused("لم يُذكر ملف للاستيراد.");
    int code = kDone;
    // A dry run checks each file against what the files before it would have stored.
    RowsOfFilesBefore filesBefore;
    if (options.dryRun)
        options.filesBefore = &filesBefore;
    for (const std::string& file : sources) {
        // Each file is one change of its own: a file that fails leaves the others' verses in.
        ImportOptions fileOptions = options;
        if (starter && file == starter->path().toStdString())
            fileOptions.writeReport = false;
        VerseImport import(store, file, fileOptions);
        runShowingProgress(import, file);
        const ImportResult& result = import.result();
        const bool done = result.outcome == ImportResult::Outcome::Done;
        say(done ? stdout : stderr, summaryText(result));
        if (!done)
            code = kFailed;
    }
    return code;
}

int exportFile(PoemStore& store, const QCommandLineParser& parser, const std::vector<std::string>& files)
{
    Format format = Format::Auto;
    if (parser.isSet(kFormat) && (!parseFormat(valueOf(parser, kFormat), format) || format == Format::Auto))
        return misused("صيغة غير معروفة: " + valueOf(parser, kFormat));
    std::string letter;
    if (parser.isSet(kLetter)) {
        const std::string value = valueOf(parser, kLetter);
        const std::optional<std::string> bytes = codepage::fromUtf8(value);
        if (!bytes || bytes->size() != 1)
            return misused("الخيار --letter يأخذ حرفًا واحدًا: " + value);
        letter = startLetterOf((*bytes)[0]);
        if (letter.empty())
            return misused("لا يبدأ بيت بالحرف " + value + "؛ الحروف: " + codepage::toUtf8(PlayableLetters));
    }
    const bool overwrite = parser.isSet(kOverwrite);
    if (files.size() != 1)
        return misused("يُصدَّر إلى ملف واحد.");
    if (!letter.empty()) {
        store.cdsPoem.setFilter("StartLetter", Value(letter));
        store.cdsPoem.setFiltered(true);
    }
    VerseExport out(store, selectedVerses(store.cdsPoem), files[0], format);
    out.allowOverwrite(overwrite);
    runShowingProgress(out, files[0]);
    const bool done = out.result().outcome == ExportResult::Outcome::Done;
    say(done ? stdout : stderr, exportSummary(out.result()));
    return done ? kDone : kFailed;
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

}  // namespace

bool isCommand(int argc, char** argv)
{
    const CommandLine line = readCommandLine(argumentsOf(argc, argv));
    // A file that is not there is said on the terminal, display or not: no window opens for it.
    return line.error.isEmpty() && (line.help || line.version || !line.command.isEmpty() || !line.missingFile.isEmpty());
}

bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int refuseWithoutDisplay()
{
    return misused("لا شاشة هنا تُفتح عليها نافذة البرنامج؛ استعمل أحد الأمرين.");
}

int runCommand(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(kAppTitle);  // names the user's data folder, as the windows do
    CommandLine line = readCommandLine(argumentsOf(argc, argv));
    if (!line.error.isEmpty())
        return misused(line.error.toStdString());
    if (line.version) {
        std::printf("barqeen %d.%d.%d\n", BARQEEN_VERSION_MAJOR, BARQEEN_VERSION_MINOR, BARQEEN_VERSION_PATCH);
        return kDone;
    }
    if (!line.missingFile.isEmpty() && !line.help) {
        say(stderr, option_messages::fileMissing(line.missingFile).toStdString());
        return kFailed;
    }
    const QString& command = line.command;
    if (!line.help && command != "import" && command != "export" && command != "meter")
        return misused("أمر غير معروف: " + command.toStdString());
    QCommandLineParser parser;
    if (!readCommandOptions(line, parser, optionsOf(command)))
        return misused(line.error.toStdString());
    const QString dir = dataFolderFor(line.dataDir, QCoreApplication::applicationDirPath());
    if (line.help) {
        std::fputs(kUsage, stdout);
        say(stdout, "مجلد البيانات: " + dir.toStdString());
        return kDone;
    }
    std::vector<std::string> args;
    for (const QString& arg : line.rest)
        args.push_back(arg.toStdString());
    const bool tableMeters = command == "meter" && parser.isSet(kTable);
    if (tableMeters && (!args.empty() || parser.isSet(kScan) || parser.isSet(kPoem)))
        return misused("الخيار --table يعدّ أبيات الجدول، فلا يأخذ ملفًا ولا --scan ولا --poem.");
    if (command == "meter" && !tableMeters)
        return meterCommand(args, {parser.isSet(kScan), valueOf(parser, kPoem)});  // reads no table: no folder, no lock
    if (QString error; !makeDataFolder(dir, error)) {
        say(stderr, error.toStdString());
        return kFailed;
    }

    QLockFile lock(QDir(dir).filePath(QStringLiteral("Barqeen.lock")));
    lock.setStaleLockTime(0);  // only a lock whose program is gone is stale
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        say(stderr, "برنامج برقين يعمل الآن على الجداول في المجلد \u2068" + dir.toStdString() +
                        "\u2069؛ أغلقه ثم أعد الأمر. لم يتغير شيء.");
        return kProgramRuns;
    }

    PoemStore store(dir.toStdString());
    int code = kDone;
    try {
        store.OpenTables();
        code = tableMeters             ? tableMeterCommand(store)
               : command == "import" ? importFiles(store, parser, args)
                                     : exportFile(store, parser, args);
    } catch (const std::exception& e) {
        say(stderr, e.what());
        code = kFailed;
    }
    try {
        store.CloseTables();
    } catch (const std::exception& e) {
        say(stderr, e.what());
        code = kFailed;
    }
    return code;
}

}  // namespace barqeen
