#pragma once
// The look the two game records windows share: the dark title strip along the top (a panel of
// #004040 with the window's title in the calligraphic face, yellow, anchored to the right),
// white labels on it, and grid columns wide enough to read.
#include <QRect>
#include <QString>

#include <climits>

class QFrame;
class QLabel;
class QWidget;

namespace barqeen {

class DBGrid;

struct TitleStrip {
    QFrame* panel = nullptr;
    QLabel* title = nullptr;
};

// The strip takes the window's width (height 52); the title box is laid out at titleBox.
TitleStrip makeTitleStrip(QWidget* window, const QString& title, const QRect& titleBox);

// A white label on the strip whose right edge stays where it was laid out, relative to the
// strip's right edge, as its text changes and as the strip widens.
class StripLabel {
public:
    StripLabel() = default;
    StripLabel(QFrame* panel, const QString& text, const QPoint& at);

    QLabel* label() const { return label_; }
    void setText(const QString& text);
    // Places the label again: after a change of text or of the strip's width. Its right edge
    // moves left of where it was laid out only to stay left of rightLimit (strip coordinates).
    void place(int rightLimit = INT_MAX);
    int rightGap() const { return rightGap_; }

private:
    QLabel* label_ = nullptr;
    int rightGap_ = 0;  // from the label's right edge to the strip's right edge
};

// Each column as wide as its title and its values, a memo column (a verse) as wide as its
// field's display width in characters.
void fitColumns(DBGrid& grid);

}  // namespace barqeen
