#pragma once
// How a verse shows in a grid cell: its first line only, cut to what the column can show.
#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QPalette;

namespace barqeen {

// The text cut to its first (displayWidth + 20) characters, then before its first carriage
// return (the result may be empty).
QString verseCellText(const QString& text, int displayWidth);

// Fills rect with background and writes text from its top-left corner, no margin, clipped.
void drawCellText(QPainter& painter, const QRect& rect, const QString& text, const QColor& background,
                  const QColor& foreground);

}  // namespace barqeen

namespace barqeen {

class Field;

// The verse-cell rule of the grids that list verses: a cell of the field named Text shows its
// verse's first line, cut by the field's display width, over the cell's own background.
// Cells of other fields are left as the grid drew them.
void drawVerseCell(QPainter& painter, const QRect& rect, const Field& field, const QString& wholeText,
                   bool selected, const QPalette& palette);

}  // namespace barqeen
