#include "windows/shell/painting.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace barqeen {

QColor backdropBandColor(int band)
{
    return QColor(std::min(255, band / 2 + 50), std::min(255, band / 3 + 150), std::min(255, band / 4 + 170));
}

QColor titleStripBandColor(int band)
{
    return QColor(band / 2, band / 3 + 100, band / 4 + 120);
}

void paintBackdrop(QPainter& painter, const QWidget& window)
{
    // The bands follow the outer size (frame included), as the windows were designed.
    const QRect outer = window.frameGeometry();
    const int width = outer.width();
    const int bands = outer.height() / 2;
    for (int i = 0; i <= bands; ++i)
        painter.fillRect(0, 2 * i, width, 2, backdropBandColor(i));
}

void paintTitleStrip(QPainter& painter, int width, int height)
{
    const int bands = width / 2;
    painter.save();
    painter.setClipRect(0, 0, width, height);
    for (int i = 0; i <= bands; ++i)
        painter.fillRect(2 * i, 0, 2, height, titleStripBandColor(i));
    painter.restore();
}

}  // namespace barqeen
