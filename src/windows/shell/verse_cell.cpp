#include "windows/shell/verse_cell.h"

#include <QPainter>

namespace barqeen {

QString verseCellText(const QString& text, int displayWidth)
{
    QString cut = text.left(displayWidth + 20);
    const qsizetype cr = cut.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        cut.truncate(cr);
    return cut;
}

void drawCellText(QPainter& painter, const QRect& rect, const QString& text, const QColor& background,
                  const QColor& foreground)
{
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, background);
    painter.setPen(foreground);
    // Starts at the cell's reading edge: the right for Arabic text, the left otherwise.
    const Qt::Alignment align = (text.isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::AlignAbsolute;
    painter.drawText(rect, int(align | Qt::TextSingleLine), text);
    painter.restore();
}

}  // namespace barqeen

#include "core/store/field.h"

#include <QPalette>

namespace barqeen {

void drawVerseCell(QPainter& painter, const QRect& rect, const Field& field, const QString& wholeText, bool selected,
                   const QPalette& palette)
{
    if (field.name() != "Text")
        return;
    drawCellText(painter, rect, verseCellText(wholeText, field.displayWidth()),
                 palette.color(selected ? QPalette::Highlight : QPalette::Base),
                 palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
}

}  // namespace barqeen
