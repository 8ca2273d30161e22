#pragma once
// Where the toolkit's own text layout puts the characters of a line, to tell whether a part
// written left to right (a date, a path, file patterns) keeps its order inside a right-to-left
// line, as a person reading the screen sees it.
#include <QFont>
#include <QTextLayout>
#include <QTextOption>

namespace barqeen::test {

// True when the characters from..to (exclusive) of the text, laid out as one right-to-left line,
// stand on the screen from left to right in their own order.
inline bool readsLeftToRight(const QString& text, int from, int to, const QFont& font = QFont())
{
    // No ligatures: inside one (the "ff" a random folder name may hold) the cursor places are
    // not the characters' own, and the last place of the run is taken for its other end. A
    // letter spacing turns them off and moves no character across a run.
    QFont plain = font;
    plain.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    QTextLayout layout(text, plain);
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(100000);
    layout.endLayout();
    // The cursor places between two characters of the part: inside one left-to-right run each
    // lies right of the one before.
    qreal previous = -1e9;
    for (int i = from + 1; i < to; ++i) {
        const qreal x = line.cursorToX(i);
        if (x <= previous)
            return false;
        previous = x;
    }
    return true;
}

// The same for the first occurrence of part in the text.
inline bool partReadsLeftToRight(const QString& text, const QString& part, const QFont& font = QFont())
{
    const int at = int(text.indexOf(part));
    return at >= 0 && readsLeftToRight(text, at, at + int(part.size()), font);
}

}  // namespace barqeen::test
