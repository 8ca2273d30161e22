#include "windows/game/verse_refusal.h"

#include "core/text/codepage.h"

namespace barqeen {
namespace {

// The marks the verse rules refuse, by their Arabic names.
QString markName(char mark)
{
    switch (mark) {
    case '\xF0':
        return QStringLiteral("تنوين الفتح");
    case '\xF1':
        return QStringLiteral("تنوين الضم");
    case '\xF2':
        return QStringLiteral("تنوين الكسر");
    case '\xF3':
        return QStringLiteral("الفتحة");
    case '\xF5':
        return QStringLiteral("الضمة");
    case '\xF6':
        return QStringLiteral("الكسرة");
    case '\xF8':
        return QStringLiteral("الشدة");
    case '\xFA':
        return QStringLiteral("السكون");
    default:
        return {};
    }
}

const QString kOptionTakesIt = QStringLiteral("ويقبلها خيار «قبول الأبيات المشكولة بالكامل» في خيارات المطارحة.");

QString characterNamed(char32_t ch)
{
    const QString code = QString::number(uint(ch), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("الحرف \u2066%1\u2069 (U+%2) ليس من حروف البيت العربية.")
        .arg(QString::fromUcs4(&ch, 1), code);
}

}  // namespace

QString notArabicDetail(char failing, const QString& typed, bool vowelledAccepted)
{
    const QString mark = markName(failing);
    if (!mark.isEmpty() && !vowelledAccepted)
        return QStringLiteral("العلامة المرفوضة: %1، ").arg(mark) + kOptionTakesIt;
    if (failing == '?') {
        // The '?' the rules met is the first of a real question mark and the character that
        // could not be held.
        const codepage::Encoded encoded = codepage::fromUnicode(typed);
        const qsizetype question = typed.indexOf(QLatin1Char('?'));
        if (!encoded.ok() && (question < 0 || encoded.position < question))
            return codepage::unmappableMessage(*encoded.unmappable);
    }
    const QString shown = codepage::toUnicode(std::string_view(&failing, 1));
    return characterNamed(shown.isEmpty() ? U'?' : char32_t(shown.at(0).unicode()));
}

QString endMarkDetail(const QString& typed, bool vowelledAccepted)
{
    if (vowelledAccepted)
        return {};
    const QString verse = typed.trimmed();
    if (verse.isEmpty())
        return {};
    const std::string last = codepage::fromUnicode(verse.right(1)).bytes;
    const QString mark = last.size() == 1 ? markName(last.front()) : QString();
    if (mark.isEmpty())
        return {};
    return QStringLiteral("على آخر حرف علامة: %1، ").arg(mark) + kOptionTakesIt;
}

}  // namespace barqeen
