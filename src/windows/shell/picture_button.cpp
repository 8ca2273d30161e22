#include "windows/shell/picture_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <limits>

namespace barqeen {

PictureButton::PictureButton(const QString& picture, const QRect& geometry, QWidget* parent) : QLabel(parent)
{
    setPixmap(QPixmap(picture));
    // Absolute: the picture sits at the top-left corner even in a right-to-left window.
    setAlignment(Qt::AlignLeft | Qt::AlignTop | Qt::AlignAbsolute);
    setGeometry(geometry);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::setShortcut(const QKeySequence& key)
{
    shortcut_ = key;
    auto* shortcut = new QShortcut(key, this);
    // The button's window is its context: the key works wherever the focus is in it.
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &PictureButton::click);
    const QString keyText = key.toString(QKeySequence::NativeText);
    setToolTip(QStringLiteral("%1 (\u2066%2\u2069)").arg(accessibleName(), keyText));
    setAccessibleDescription(QStringLiteral("الاختصار: %1").arg(keyText));
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        focusNearest(Qt::Key(event->key()));
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

// The nearest picture button beside this one in the arrow's direction, as the eye goes.
void PictureButton::focusNearest(Qt::Key arrow)
{
    const QPoint from = geometry().center();
    PictureButton* nearest = nullptr;
    int best = std::numeric_limits<int>::max();
    for (PictureButton* other : parentWidget()->findChildren<PictureButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || !other->isVisible() || !other->isEnabled())
            continue;
        const QPoint d = other->geometry().center() - from;
        const bool ahead = arrow == Qt::Key_Left ? d.x() < -20 && std::abs(d.y()) <= std::abs(d.x())
                         : arrow == Qt::Key_Right ? d.x() > 20 && std::abs(d.y()) <= std::abs(d.x())
                         : arrow == Qt::Key_Up    ? d.y() < -20 && std::abs(d.x()) <= 2 * std::abs(d.y()) + 200
                                                  : d.y() > 20 && std::abs(d.x()) <= 2 * std::abs(d.y()) + 200;
        if (!ahead)
            continue;
        // Off the arrow's line counts thrice: Left goes along the row before it goes down.
        const bool across = arrow == Qt::Key_Left || arrow == Qt::Key_Right;
        const int distance = across ? std::abs(d.x()) + 3 * std::abs(d.y()) : std::abs(d.y()) + 3 * std::abs(d.x());
        if (distance < best) {
            best = distance;
            nearest = other;
        }
    }
    if (nearest)
        nearest->setFocus(Qt::OtherFocusReason);
}

void PictureButton::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Drawn over the picture's edge in the highlight colour: the pictures have no pressed look
    // that could show the focus.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::SolidLine));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
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
