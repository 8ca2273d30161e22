#pragma once
// A plain picture that acts as a button: drawn at its own size at the control's top-left
// corner, with a hand cursor and no pressed or hover look. A screen reader sees a push button,
// named by its accessible name (the caption drawn in the picture), that it can press. It takes
// the focus, shows it with a frame, and presses on Space and Return; the arrows go to the
// nearest picture button that way.
#include <QKeySequence>
#include <QLabel>

namespace barqeen {

class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QString& picture, const QRect& geometry, QWidget* parent);

    // What a click does; screen readers press the button through it.
    void click() { emit clicked(); }

    // A key that presses the button anywhere in its window; the tooltip and the description a
    // screen reader gives name it after the caption (the accessible name, set first).
    void setShortcut(const QKeySequence& key);
    QKeySequence shortcut() const { return shortcut_; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void focusNearest(Qt::Key arrow);

    bool pressed_ = false;
    QKeySequence shortcut_;
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
