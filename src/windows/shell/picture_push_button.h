#pragma once
// A push button with a small picture beside its text, as the game's buttons, the start-letter
// dialog's and the search button are. Right to left, the picture stands to the right of the text and the two
// are centred together. (Qt's own drawing of an icon button right to left puts the text against
// the button's left edge: it mirrors the text's alignment a second time.)
#include <QPushButton>

namespace barqeen {

class PicturePushButton : public QPushButton {
    Q_OBJECT
public:
    PicturePushButton(const QIcon& picture, const QString& text, QWidget* parent);

    // Where the picture and the text are drawn, in the button's coordinates.
    QRect pictureRect() const;
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut(QRect& picture, QRect& text) const;
};

}  // namespace barqeen
