#include "windows/game/records_look.h"

#include "windows/shell/db_grid.h"
#include "windows/shell/fonts.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>

#include <algorithm>

namespace barqeen {
namespace {

const QColor kStrip(0x00, 0x40, 0x40);
const QColor kTitle(0xFF, 0xFF, 0x80);

void setColours(QWidget* w, const QColor& back, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
}

}  // namespace

TitleStrip makeTitleStrip(QWidget* window, const QString& title, const QRect& titleBox)
{
    TitleStrip strip;
    strip.panel = new QFrame(window);
    strip.panel->setGeometry(0, 0, window->width(), 52);
    strip.panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    strip.panel->setLineWidth(1);
    strip.panel->setAutoFillBackground(true);
    setColours(strip.panel, kStrip, Qt::white);

    strip.title = new QLabel(title, strip.panel);
    strip.title->setAlignment(Qt::AlignCenter);
    strip.title->setFont(fonts::calligraphicPixels(32, false));
    setColours(strip.title, kStrip, kTitle);
    // Where the bundled face writes the title wider than its box, the box grows to the left:
    // it is anchored to the right.
    const int width = std::max(titleBox.width(), strip.title->fontMetrics().horizontalAdvance(title) + 2);
    strip.title->setGeometry(titleBox.right() + 1 - width, titleBox.top(), width, titleBox.height());
    return strip;
}

StripLabel::StripLabel(QFrame* panel, const QString& text, const QPoint& at)
{
    label_ = new QLabel(text, panel);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute);
    setColours(label_, kStrip, Qt::white);
    label_->adjustSize();
    label_->move(at);
    rightGap_ = panel->width() - (at.x() + label_->width());
}

void StripLabel::setText(const QString& text)
{
    label_->setText(text);
    place();
}

void StripLabel::place(int rightLimit)
{
    const int right = std::min(label_->parentWidget()->width() - rightGap_, rightLimit);
    label_->adjustSize();
    const int width = std::max(0, std::min(label_->width(), right));
    label_->setGeometry(right - width, label_->y(), width, label_->height());
}

void fitColumns(DBGrid& grid)
{
    TableModel& model = grid.tableModel();
    // The header stretching the last column would also squeeze it, title and all, when the
    // others take the width: it keeps its own width here and only takes what room is left.
    grid.horizontalHeader()->setStretchLastSection(false);
    // The style's least width of a column is wider than a short title or a number needs; with it
    // the history's six columns overrun the grid at the window's own size, the last one cut.
    grid.horizontalHeader()->setMinimumSectionSize(2 * grid.fontMetrics().horizontalAdvance(QLatin1Char('0')));
    int used = 0;
    for (int column = 0; column < model.columnCount(); ++column) {
        const Field* field = model.fieldOfColumn(column);
        if (field && field->type() == FieldType::Memo)
            grid.setColumnWidth(column, field->displayWidth() * grid.fontMetrics().averageCharWidth() + 4);
        else
            grid.resizeColumnToContents(column);
        used += grid.columnWidth(column);
    }
    const int last = model.columnCount() - 1;
    if (last >= 0 && used < grid.viewport()->width())
        grid.setColumnWidth(last, grid.columnWidth(last) + grid.viewport()->width() - used);
}

}  // namespace barqeen
