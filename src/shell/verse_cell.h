#pragma once
// How a verse shows in a grid cell: its first line only, cut to what the column can show.
#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace barqeen {

// The text cut to its first (displayWidth + 20) characters, then before its first carriage
// return (the result may be empty).
QString verseCellText(const QString& text, int displayWidth);

// Fills rect with background and writes text from its top-left corner, no margin, clipped.
void drawCellText(QPainter& painter, const QRect& rect, const QString& text, const QColor& background,
                  const QColor& foreground);

}  // namespace barqeen
