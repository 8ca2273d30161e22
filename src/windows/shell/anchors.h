#pragma once
// Keeps a control's distances to the named edges of its parent when the parent is resized:
// anchored to left and right it grows with the width, to bottom only it moves down, and so on.
#include <QObject>
#include <QRect>

#include <vector>

class QWidget;

namespace barqeen {

void anchor(QWidget* control, Qt::Edges edges);

class Anchors : public QObject {
    Q_OBJECT
public:
    explicit Anchors(QWidget* parent);
    void add(QWidget* control, Qt::Edges edges);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QWidget* control;
        Qt::Edges edges;
        QRect designed;   // geometry when anchored
        QSize parentSize; // parent's size then
    };
    QWidget* parent_;
    std::vector<Entry> entries_;
};

}  // namespace barqeen
