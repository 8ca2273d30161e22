#include "app/arguments.h"
#include "app/option_messages.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace barqeen {
namespace {

const QString kCommandWords[] = {QStringLiteral("import"), QStringLiteral("export"), QStringLiteral("meter"),
                                 QStringLiteral("help")};

// A command is a word of small Latin letters (and hyphens); a word with a folder, a suffix or any
// other letter (an Arabic name) is a file's name.
bool namesAFile(const QString& word)
{
    static const QRegularExpression commandLike(QStringLiteral("^[a-z][a-z-]*$"));
    return !commandLike.match(word).hasMatch();
}

QCommandLineOption dataOption()
{
    return QCommandLineOption(QStringLiteral("data"), QString(), QStringLiteral("DIR"));
}

// The parser's own reason, in the program's words. The parser says which option it did not
// know; the message names the argument as it was typed.
QString reasonOf(const QCommandLineParser& parser, const QStringList& args)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        for (const QString& arg : args.mid(1)) {
            const QString bare = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
            if (arg.startsWith(QLatin1Char('-')) && (bare == name || bare.contains(name)))
                return option_messages::unknown(arg);
        }
        return option_messages::unknown(name);
    }
    // "Missing value after '--x'." or "Unexpected value after '--x'.": the option is quoted.
    const QString text = parser.errorText();
    const QString option = QRegularExpression(QStringLiteral("'([^']*)'")).match(text).captured(1);
    if (option == QLatin1String("--data"))
        return option_messages::dataNeedsFolder();
    if (text.startsWith(QLatin1String("Unexpected value")))
        return option_messages::takesNoValue(option);
    return option_messages::needsValue(option);
}

// --data with an empty folder name is refused as --data with none.
bool takeData(const QCommandLineParser& parser, const QCommandLineOption& data, CommandLine& line)
{
    if (!parser.isSet(data))
        return true;
    line.dataDir = parser.value(data);
    if (!line.dataDir.isEmpty())
        return true;
    line.error = option_messages::dataNeedsFolder();
    return false;
}

}  // namespace

CommandLine readCommandLine(const QStringList& args)
{
    CommandLine line;
    QCommandLineParser parser;
    // The options after the command word are the command's own: read in the second step.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption data = dataOption();
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({data, help, version});
    if (!parser.parse(args)) {
        line.error = reasonOf(parser, args);
        return line;
    }
    if (!takeData(parser, data, line))
        return line;
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    QStringList words = parser.positionalArguments();
    // A known command word; or a word that is not a file the window could import: a file's name
    // that is not there, or else a mistyped command, answered with the usage rather than a window.
    if (!words.isEmpty()) {
        const QString& first = words.first();
        const bool commandWord =
            std::find(std::begin(kCommandWords), std::end(kCommandWords), first) != std::end(kCommandWords);
        if (!commandWord && !QFileInfo::exists(first) && namesAFile(first))
            line.missingFile = first;
        else if (commandWord || !QFileInfo::exists(first))
            line.command = words.takeFirst();
    }
    line.help = line.help || line.command == QLatin1String("help");
    line.rest = words;
    return line;
}

bool readCommandOptions(CommandLine& line, QCommandLineParser& parser, const QList<QCommandLineOption>& options)
{
    const QCommandLineOption data = dataOption();
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions(options);
    parser.addOptions({data, help});
    const QStringList args = QStringList{QStringLiteral("barqeen")} + line.rest;
    if (!parser.parse(args)) {
        line.error = reasonOf(parser, args);
        return false;
    }
    if (!takeData(parser, data, line))
        return false;
    line.help = line.help || parser.isSet(help);
    line.rest = parser.positionalArguments();
    return true;
}

}  // namespace barqeen
