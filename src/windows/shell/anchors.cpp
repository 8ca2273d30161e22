#include "windows/shell/anchors.h"

#include <QEvent>
#include <QWidget>

namespace barqeen {

void anchor(QWidget* control, Qt::Edges edges)
{
    QWidget* parent = control->parentWidget();
    auto* anchors = parent->findChild<Anchors*>(QString(), Qt::FindDirectChildrenOnly);
    if (!anchors)
        anchors = new Anchors(parent);
    anchors->add(control, edges);
}

Anchors::Anchors(QWidget* parent) : QObject(parent), parent_(parent)
{
    parent_->installEventFilter(this);
}

void Anchors::add(QWidget* control, Qt::Edges edges)
{
    entries_.push_back({control, edges, control->geometry(), parent_->size()});
}

bool Anchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent_ && event->type() == QEvent::Resize) {
        for (const Entry& e : entries_) {
            const int dw = parent_->width() - e.parentSize.width();
            const int dh = parent_->height() - e.parentSize.height();
            QRect r = e.designed;
            // Horizontally: both edges stretch; only the right edge moves; else it stays.
            if ((e.edges & Qt::LeftEdge) && (e.edges & Qt::RightEdge))
                r.setWidth(r.width() + dw);
            else if (e.edges & Qt::RightEdge)
                r.translate(dw, 0);
            if ((e.edges & Qt::TopEdge) && (e.edges & Qt::BottomEdge))
                r.setHeight(r.height() + dh);
            else if (e.edges & Qt::BottomEdge)
                r.translate(0, dh);
            e.control->setGeometry(r);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace barqeen
