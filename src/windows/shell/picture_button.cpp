#include "windows/shell/picture_button.h"

#include <QMouseEvent>

namespace barqeen {

PictureButton::PictureButton(const QString& picture, const QRect& geometry, QWidget* parent) : QLabel(parent)
{
    setPixmap(QPixmap(picture));
    // Absolute: the picture sits at the top-left corner even in a right-to-left window.
    setAlignment(Qt::AlignLeft | Qt::AlignTop | Qt::AlignAbsolute);
    setGeometry(geometry);
    setCursor(Qt::PointingHandCursor);
}

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace barqeen
