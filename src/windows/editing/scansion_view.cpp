#include "windows/editing/scansion_view.h"

#include "core/prosody/meter_finder.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace barqeen {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QLabel* wrappedLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

}  // namespace

TfmScansion::TfmScansion(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmScansion"));
    setWindowTitle(QStringLiteral("تقطيع البيت"));
    setLayoutDirection(Qt::RightToLeft);
    setMinimumWidth(520);  // the meter and its eight feet on one line
    auto* layout = new QVBoxLayout(this);

    lbMeter = wrappedLabel(this);
    lbMeter->setObjectName(QStringLiteral("lbMeter"));
    QFont bold = lbMeter->font();
    bold.setBold(true);
    lbMeter->setFont(bold);
    layout->addWidget(lbMeter);
    lbClosest = wrappedLabel(this);
    lbClosest->setObjectName(QStringLiteral("lbClosest"));
    layout->addWidget(lbClosest);

    const QStringList rowNames = {QStringLiteral("النص"), QStringLiteral("التقطيع"), QStringLiteral("التفعيلة"),
                                  QStringLiteral("التغيير")};
    for (int h = 0; h < 2; ++h) {
        const QString caption = QStringLiteral("الشطر ") + prosody::hemistichName(size_t(h));
        auto* title = new QLabel(caption, this);
        QFont titleFont = title->font();
        titleFont.setBold(true);
        title->setFont(titleFont);
        layout->addWidget(title);
        lbHemistich[h] = title;

        lbSaid[h] = wrappedLabel(this);
        lbSaid[h]->setObjectName(QStringLiteral("lbSaid%1").arg(h + 1));
        layout->addWidget(lbSaid[h]);

        // Right to left, as the verse reads: the first foot in the rightmost column, under its words.
        auto* grid = new QTableWidget(RowCount, 0, this);
        grid->setObjectName(QStringLiteral("grFeet%1").arg(h + 1));
        grid->setAccessibleName(caption + QStringLiteral(": التفعيلات"));
        grid->setVerticalHeaderLabels(rowNames);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setTabKeyNavigation(false);  // Tab leaves the grid; the arrows walk the feet
        grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grFeet[h] = grid;
        title->setBuddy(grid);
        layout->addWidget(grid);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("إغلاق"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfmScansion::showVerse(const QString& verse)
{
    const prosody::VerseDetail detail = prosody::scanInDetail(verse);
    lbMeter->setText(QStringLiteral("البحر: ") + fromUtf8(prosody::describe(detail.scansion)));
    const QString closest = prosody::closestMeterSentence(detail);
    lbClosest->setText(closest);
    lbClosest->setVisible(!closest.isEmpty());
    for (int h = 0; h < 2; ++h) {
        const bool shown = size_t(h) < detail.hemistichs.size();
        static const prosody::HemistichDetail kNone;
        showHemistich(h, shown ? detail.hemistichs[size_t(h)] : kNone);
    }
    adjustSize();
}

void TfmScansion::showHemistich(int index, const prosody::HemistichDetail& hemistich)
{
    lbSaid[index]->setText(hemistich.said);
    // A set name replaces the text for screen readers: it carries the text after its caption.
    lbSaid[index]->setAccessibleName(lbHemistich[index]->text() + QStringLiteral("، الكتابة العروضية: ") +
                                     hemistich.said);
    QTableWidget& grid = *grFeet[index];
    grid.clearContents();
    const auto put = [&grid](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        grid.setItem(row, column, item);
    };
    if (hemistich.feet.empty()) {
        // No meter named: the strokes of the whole hemistich, unparted.
        grid.setColumnCount(hemistich.pattern.empty() ? 0 : 1);
        if (!hemistich.pattern.empty())
            put(RowStrokes, 0, prosody::strokes(hemistich.pattern));
    } else {
        grid.setColumnCount(int(hemistich.feet.size()));
        for (int f = 0; f < int(hemistich.feet.size()); ++f) {
            const prosody::FootDetail& foot = hemistich.feet[size_t(f)];
            put(RowText, f, foot.text);
            put(RowStrokes, f, prosody::strokes(foot.pattern));
            put(RowFoot, f, fromUtf8(foot.name));
            put(RowChange, f, foot.change.empty() ? QStringLiteral("سالمة") : QString::fromStdString(foot.change));
        }
    }
    QStringList numbers;
    for (int f = 1; f <= grid.columnCount(); ++f)
        numbers << QString::number(f);
    grid.setHorizontalHeaderLabels(numbers);
    grid.setVisible(grid.columnCount() > 0);
    lbSaid[index]->setVisible(!hemistich.said.isEmpty());
    lbHemistich[index]->setVisible(!hemistich.said.isEmpty());
}

}  // namespace barqeen
