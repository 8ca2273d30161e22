#pragma once
// The look shared by the windows, drawn by code: the backdrop gradient of the secondary windows
// and the title strip of the main window.
#include <QColor>

class QPainter;
class QWidget;

namespace barqeen {

// Band i of the backdrop: 2 pixels high, from y = 2i; teal at the top, lightening downwards.
QColor backdropBandColor(int band);
// Band i of the title strip: 2 pixels wide, from x = 2i; dark teal at the left.
QColor titleStripBandColor(int band);

// Fills the client surface of window with the backdrop bands, over the window's outer size.
void paintBackdrop(QPainter& painter, const QWidget& window);
// Fills a width x height picture with the title strip's bands.
void paintTitleStrip(QPainter& painter, int width, int height);

}  // namespace barqeen
