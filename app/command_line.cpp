#include "app/command_line.h"

#include "app/data_folder.h"
#include "app/meter_command.h"
#include "windows/shell/dialogs.h"

#include "core/exchange/import_report.h"
#include "core/exchange/verse_export.h"
#include "core/exchange/verse_import.h"
#include "core/rules/turn_rules.h"
#include "core/store/poem_store.h"
#include "core/text/codepage.h"

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
#include <string>
#include <vector>

namespace barqeen {
namespace {

using namespace exchange;

constexpr int kDone = 0, kFailed = 1, kMisused = 2, kProgramRuns = 3;

const char* const kUsage =
    "الاستعمال:\n"
    "  barqeen import [--format=text|csv|tsv|jsonl] [--encoding=utf-8|utf-16|windows-1256]\n"
    "                 [--layout=LAYOUT | --separator=TEXT] [--heading-poet=none|first|last]\n"
    "                 [--dry-run] [--no-report] FILE…\n"
    "  barqeen export [--format=csv|tsv|jsonl|text] [--letter=LETTER] [--overwrite] FILE\n"
    "  barqeen meter [FILE…]\n"
    "  barqeen [--data DIR] [FILE…]   البرنامج بنوافذه؛ تُستورد الملفات في نافذة أبيات الشعر\n"
    "  barqeen --help | --version\n"
    "LAYOUT (نص عادي): auto line tab spaces star stars dots ellipsis dash hash bar two-lines\n"
    "يعمل الأمران على جداول البرنامج في مجلد البيانات، ولا يعملان والبرنامج مفتوح على المجلد نفسه.\n"
    "مجلد البيانات: مجلد البرنامج إن أمكنت الكتابة فيه وليس مثبتًا، وإلا مجلد بيانات المستخدم؛\n"
    "والخيار --data DIR يختار مجلدًا آخر. والنوافذ تحتاج إلى شاشة.\n"
    "ويذكر الأمر meter بحر كل بيت وتفعيلاته (بيت في كل سطر، وبين شطريه TAB)، ولا يمس الجداول.\n";

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

// "--name=value" -> value, when the argument is that option.
bool option(const std::string& arg, const char* name, std::string& value)
{
    const std::string prefix = std::string("--") + name + "=";
    if (arg.rfind(prefix, 0) != 0)
        return false;
    value = arg.substr(prefix.size());
    return true;
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

int importFiles(PoemStore& store, const std::vector<std::string>& args)
{
    ImportOptions options;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        std::string value;
        if (option(arg, "format", value)) {
            if (!parseFormat(value, options.format))
                return misused("صيغة غير معروفة: " + value);
        } else if (option(arg, "encoding", value)) {
            if (!parseEncoding(value, options.encoding))
                return misused("ترميز غير معروف: " + value);
        } else if (option(arg, "layout", value)) {
            if (!parseLayout(value, options.layout.kind))
                return misused("ترتيب غير معروف للشطرين: " + value);
        } else if (option(arg, "separator", value)) {
            if (value.empty())
                return misused("الخيار --separator يأخذ النص الذي بين الشطرين.");
            options.layout = {Layout::Custom, value};
        } else if (option(arg, "heading-poet", value)) {
            if (!parseHeadingPoet(value, options.headingPoet))
                return misused("قاعدة غير معروفة للعناوين: " + value);
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--no-report") {
            options.writeReport = false;
        } else if (arg.rfind("--", 0) == 0) {
            return misused("خيار غير معروف: " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty())
        return misused("لم يُذكر ملف للاستيراد.");
    int code = kDone;
    for (const std::string& file : files) {
        // Each file is one change of its own: a file that fails leaves the others' verses in.
        VerseImport import(store, file, options);
        runShowingProgress(import, file);
        const ImportResult& result = import.result();
        const bool done = result.outcome == ImportResult::Outcome::Done;
        say(done ? stdout : stderr, summaryText(result));
        if (!done)
            code = kFailed;
    }
    return code;
}

int exportFile(PoemStore& store, const std::vector<std::string>& args)
{
    Format format = Format::Auto;
    std::string letter;
    bool overwrite = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        std::string value;
        if (option(arg, "format", value)) {
            if (!parseFormat(value, format) || format == Format::Auto)
                return misused("صيغة غير معروفة: " + value);
        } else if (option(arg, "letter", value)) {
            const std::optional<std::string> bytes = codepage::fromUtf8(value);
            if (!bytes || bytes->size() != 1)
                return misused("الخيار --letter يأخذ حرفًا واحدًا: " + value);
            letter = startLetterOf((*bytes)[0]);
            if (letter.empty())
                return misused("لا يبدأ بيت بالحرف " + value + "؛ الحروف: " + codepage::toUtf8(PlayableLetters));
        } else if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg.rfind("--", 0) == 0) {
            return misused("خيار غير معروف: " + arg);
        } else {
            files.push_back(arg);
        }
    }
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

// The arguments after the program's name, `--data DIR` taken out.
DataOption commandArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return takeDataOption(args);
}

}  // namespace

bool isCommand(int argc, char** argv)
{
    const QStringList rest = commandArguments(argc, argv).rest;
    if (rest.isEmpty())
        return false;
    // A known command word; or a word that is neither a window option nor a file the window could
    // import: a mistyped command, answered with the usage rather than a window.
    const QString command = rest.first();
    if (command == "import" || command == "export" || command == "meter" || command == "help" || command == "--help" ||
        command == "-h" || command == "--version" || command == "-v")
        return true;
    return !command.startsWith(QLatin1Char('-')) && !QFileInfo::exists(command);
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
    const DataOption data = commandArguments(argc, argv);
    if (!data.error.isEmpty())
        return misused(data.error.toStdString());
    const std::string command = data.rest.first().toStdString();
    const QString dir = dataFolderFor(data.dir, QCoreApplication::applicationDirPath());
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        say(stdout, "مجلد البيانات: " + dir.toStdString());
        return kDone;
    }
    if (command == "--version" || command == "-v") {
        std::printf("barqeen %d.%d.%d\n", BARQEEN_VERSION_MAJOR, BARQEEN_VERSION_MINOR, BARQEEN_VERSION_PATCH);
        return kDone;
    }
    if (command != "import" && command != "export" && command != "meter")
        return misused("أمر غير معروف: " + command);
    std::vector<std::string> args;
    for (const QString& arg : data.rest.mid(1))
        args.push_back(arg.toStdString());
    if (command == "meter")
        return meterCommand(args);  // reads no table: no folder, no lock
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
        code = command == "import" ? importFiles(store, args) : exportFile(store, args);
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
