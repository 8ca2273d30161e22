#pragma once
// A plain picture that acts as a button: drawn at its own size at the control's top-left
// corner, with a hand cursor and no pressed or hover look. A screen reader sees a push button,
// named by its accessible name (the caption drawn in the picture), that it can press.
#include <QLabel>

namespace barqeen {

class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QString& picture, const QRect& geometry, QWidget* parent);

    // What a click does; screen readers press the button through it.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A label that opens its text with the desktop's URL handler when clicked.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace barqeen
