// The current verse's meter and feet, in the free space above the grid.
#include "windows/editing/poem_edit.h"

#include "windows/editing/scansion_view.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "core/store/table.h"
#include "core/text/codepage.h"

#include <QLabel>
#include <QPushButton>

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
    lbMeter->setGeometry(96, 56, 364, 52);  // left of the count, above the buttons
    lbMeter->setAccessibleName(kMeterCaption);

    // «التقطيع»: the current verse cut into its feet, in a window of its own.
    bbScansion = new QPushButton(QStringLiteral("التقطيع"), this);
    bbScansion->setObjectName(QStringLiteral("bbScansion"));
    bbScansion->setGeometry(8, 70, 81, 25);  // beside the meter label, at its left
    bbScansion->setToolTip(QStringLiteral("تقطيع البيت الحالي: تفعيلاته وما دخلها من زحاف أو علة"));
    connect(bbScansion, &QPushButton::clicked, this, [this] { runGuarded([&] { bbScansionClick(); }); });
}

bool TfmPoemEdit::hasVerseToScan() const
{
    const Table& poem = shell_.cdsPoem();
    // While the first verse of an empty table is typed, the count is still 0: the typed row counts.
    return poem.active() && (poem.recordCount() > 0 || poem.state() == Table::State::Insert);
}

void TfmPoemEdit::bbScansionClick()
{
    if (!hasVerseToScan())
        return;
    if (!fmScansion_)
        fmScansion_ = new TfmScansion(this);
    fmScansion_->showVerse(codepage::toUnicode(shell_.cdsPoem().field("Text").asString()));
    Dialogs::exec(*fmScansion_);
}

void TfmPoemEdit::showMeter()
{
    if (!lbMeter || !isVisible())
        return;  // scanned when the window shows, not on the moves of a game or a search
    const Table& poem = shell_.cdsPoem();
    QString text;
    if (hasVerseToScan()) {
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
    bbScansion->setEnabled(hasVerseToScan());
    if (lbMeter->text() != text) {
        lbMeter->setText(text);
        // A set name replaces the text for screen readers: it carries the text after its caption.
        lbMeter->setAccessibleName(text.isEmpty() ? kMeterCaption
                                                  : kMeterCaption + QStringLiteral(": ") + QString(text).replace(u'\n', QStringLiteral("، ")));
    }
}

}  // namespace barqeen
