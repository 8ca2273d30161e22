#include "app/meter_command.h"

#include "core/prosody/meter_finder.h"
#include "core/text/codepage.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace barqeen {
namespace {

// UTF-8 as most files are; a file that is not valid UTF-8 is read as Windows-1256.
QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = codepage::toUnicode(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void printScansion(const QString& verse)
{
    const std::string line = prosody::describe(prosody::scanVerse(verse));
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

// One verse a line with a TAB (or stars, as printed) between its hemistichs; lines of one
// hemistich pair up as the two hemistichs of a verse, and a blank line ends a verse left with one.
void scanText(const QString& text)
{
    QString pending;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || prosody::hemistichsOf(line).size() > 1) {
            if (!pending.isEmpty())
                printScansion(pending);
            pending.clear();
            if (!line.trimmed().isEmpty())
                printScansion(line);
        } else if (pending.isEmpty()) {
            pending = line;
        } else {
            printScansion(pending + u'\n' + line);
            pending.clear();
        }
    }
    if (!pending.isEmpty())
        printScansion(pending);
}

}  // namespace

int meterCommand(const std::vector<std::string>& files)
{
    if (files.empty()) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return 1;
        scanText(decoded(in.readAll()));
        return 0;
    }
    int code = 0;
    for (const std::string& name : files) {
        QFile file(QString::fromStdString(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "تعذرت قراءة الملف \u2068%s\u2069.\n", name.c_str());
            code = 1;
            continue;
        }
        scanText(decoded(file.readAll()));
    }
    std::fflush(stdout);
    return code;
}

}  // namespace barqeen
