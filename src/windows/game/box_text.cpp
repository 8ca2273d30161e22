#include "windows/game/box_text.h"

#include "core/text/codepage.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace barqeen {
namespace {

bool isControlOrSpace(QChar c)
{
    return c.unicode() <= 0x20;
}

// LF (as a text box gives its lines) becomes CR LF.
QString withCrLf(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.count(QLatin1Char('\n')));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += c;
    }
    return out;
}

}  // namespace

QString TypedText(const QPlainTextEdit& box)
{
    QString text = box.document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    return text;
}

QString TrimControls(const QString& text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && isControlOrSpace(text.at(from)))
        ++from;
    while (to > from && isControlOrSpace(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}

std::string CheckedBytes(const QString& text)
{
    QString rest = withCrLf(text);
    std::string bytes;
    for (;;) {
        codepage::Encoded part = codepage::fromUnicode(rest);
        bytes += part.bytes;
        if (part.ok())
            return bytes;
        bytes += '?';
        const qsizetype width = *part.unmappable > 0xFFFF ? 2 : 1;
        rest = rest.mid(part.position + width);
    }
}

std::string StoredBytes(const QString& text)
{
    return codepage::fromUnicodeOrThrow(withCrLf(text));
}

QString BoxText(std::string_view bytes)
{
    QString text = codepage::toUnicode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace barqeen
