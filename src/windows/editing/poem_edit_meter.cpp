// The current verse's meter and feet, in the free space above the grid.
#include "windows/editing/poem_edit.h"

#include "windows/shell/shell.h"
#include "core/store/table.h"

#include <QLabel>

namespace barqeen {

namespace {

const QString kMeterCaption = QStringLiteral("بحر البيت");

QString unicode(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace

void TfmPoemEdit::buildMeterLabel()
{
    lbMeter = new QLabel(this);
    lbMeter->setObjectName(QStringLiteral("lbMeter"));
    lbMeter->setAttribute(Qt::WA_TranslucentBackground);
    lbMeter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbMeter->setTextFormat(Qt::PlainText);
    lbMeter->setGeometry(8, 56, 452, 52);  // left of the count, above the buttons
    lbMeter->setAccessibleName(kMeterCaption);
}

void TfmPoemEdit::showMeter()
{
    if (!lbMeter || !isVisible())
        return;  // scanned when the window shows, not on the moves of a game or a search
    const Table& poem = shell_.cdsPoem();
    QString text;
    if (poem.active() && poem.recordCount() > 0) {
        const std::string verse = poem.field("Text").asString();
        const prosody::Scansion& s = meterCache_.scan(verse);
        if (s.ambiguous) {
            // The same feet under two meters: both named, the likelier first.
            text = QStringLiteral("البحر: ") + QString::fromStdString(prosody::meterWithShape(s.meter, s.shape)) +
                   QStringLiteral(" أو ") + QString::fromStdString(prosody::meterWithShape(s.otherMeter, s.otherShape));
            QStringList feet;
            for (const auto& hemistich : s.feet)
                feet << unicode(prosody::feetText(hemistich));
            text += u'\n' + feet.join(QStringLiteral(" / "));
        } else if (!s.known) {
            text = QStringLiteral("البحر: ") + unicode(prosody::kUnknownMeter);
        } else {
            text = QStringLiteral("البحر: ") + unicode(prosody::meterName(s.meter)) + QStringLiteral(" (") +
                   unicode(prosody::shapeName(s.shape)) + u')';
            QStringList feet;  // both hemistichs on one line: two lines fit the free space
            for (const auto& hemistich : s.feet)
                feet << unicode(prosody::feetText(hemistich));
            text += u'\n' + feet.join(QStringLiteral(" / "));
        }
    }
    if (lbMeter->text() != text) {
        lbMeter->setText(text);
        // A set name replaces the text for screen readers: it carries the text after its caption.
        lbMeter->setAccessibleName(text.isEmpty() ? kMeterCaption
                                                  : kMeterCaption + QStringLiteral(": ") + QString(text).replace(u'\n', QStringLiteral("، ")));
    }
}

}  // namespace barqeen
