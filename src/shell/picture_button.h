#pragma once
// A plain picture that acts as a button: drawn at its own size at the control's top-left
// corner, with a hand cursor and no pressed or hover look.
#include <QLabel>

namespace barqeen {

class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QString& picture, const QRect& geometry, QWidget* parent);

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
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace barqeen
