#pragma once
// Drives the widgets as a person does: the mouse on grid cells and buttons, keys typed into
// whatever holds the input focus, pastes through the clipboard. Nothing here calls a model or a
// control's setter.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QTest>

#include <ostream>

// Texts in failure messages as text, not as a list of code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace barqeen::test {

// Shows the window and gives it the input focus, as the window manager does when it opens.
inline void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

inline QPoint cellCentre(QAbstractItemView& view, int row, int column)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

inline void clickCell(QAbstractItemView& view, int row, int column)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, row, column));
}

inline void doubleClickCell(QAbstractItemView& view, int row, int column)
{
    const QPoint at = cellCentre(view, row, column);
    // A double click is a press, a release and a second press read as a double click.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
}

inline void click(QAbstractButton* button)
{
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline QWidget* focused()
{
    QWidget* w = QApplication::focusWidget();
    EXPECT_TRUE(w) << "nothing has the input focus";
    return w;
}

// Types the text one character at a time into the widget that has the focus at each key (the
// first key on a grid opens its cell editor, which takes the rest). A character beyond the
// first plane (an emoji) is one key.
inline void type(const QString& text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString key = text.mid(i, n);
        i += n;
        QWidget* w = focused();
        if (!w)
            return;
        const char16_t c = key.at(0).unicode();
        Qt::Key code = Qt::Key_unknown;
        if (c >= 'a' && c <= 'z')
            code = Qt::Key(Qt::Key_A + (c - 'a'));
        else if (c >= '0' && c <= '9')
            code = Qt::Key(Qt::Key_0 + (c - '0'));
        else if (c == ' ')
            code = Qt::Key_Space;
        QTest::sendKeyEvent(QTest::Click, w, code, key, Qt::NoModifier);
        QCoreApplication::processEvents();  // what the key set going, as the running program would
    }
}

// A key such as Enter, Esc, Backspace or an arrow, into the focused widget.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (QWidget* w = focused())
        QTest::keyClick(w, key, modifiers);
    QCoreApplication::processEvents();  // Enter commits a cell editor through a queued call
}

// Presses Tab until the control has the focus, as a person walks to it; false when the walk
// never reaches it.
inline bool tabTo(QWidget* control, int mostKeys = 20)
{
    for (int i = 0; i < mostKeys && QApplication::focusWidget() != control; ++i)
        press(Qt::Key_Tab);
    return QApplication::focusWidget() == control;
}

// Puts the text on the clipboard and presses Ctrl+V in the focused widget.
inline void paste(const QString& text)
{
    QApplication::clipboard()->setText(text);
    press(Qt::Key_V, Qt::ControlModifier);
}

// Opens a drop-down list with the mouse and goes to the item with the arrow keys; Enter takes it.
inline void pick(QComboBox* box, const QString& item)
{
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    if (!list->currentIndex().isValid())
        QTest::keyClick(list, Qt::Key_Home);
    while (list->currentIndex().row() < index)
        QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex().row() > index)
        QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(list->window()->isVisible());
    EXPECT_EQ(box->currentIndex(), index);
}

}  // namespace barqeen::test
