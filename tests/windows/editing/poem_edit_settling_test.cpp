// What the verse window shows after a pending edit is settled, refused or left pending: the ticks
// of the verse the window is on, one message for one refusal, the focus on the empty field, and
// Esc that never closes over a change not yet posted. Used with the mouse and the keys.
#include "windows/editing/category_edit.h"
#include <QScrollBar>
#include "poem_edit_fixture.h"

using namespace barqeen;
using namespace barqeen::test;

namespace {

// Opens the letter list with the mouse and takes an item with the keys, for a choice the window
// may refuse (the list then keeps showing the letter in effect).
void chooseLetter(TfmPoemEdit& w, const QString& letter)
{
    QTest::mouseClick(w.cbLetter, Qt::LeftButton);
    QAbstractItemView* list = w.cbLetter->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QTest::keyClick(list, Qt::Key_Home);
    const int index = w.cbLetter->findText(letter);
    while (list->currentIndex().row() < index)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// A post that takes the verse out of the letter's filter moves the window to another verse; a
// cancel puts the stored categories back. The ticks follow both, so the next tick adds to the
// current verse's own categories instead of writing the old verse's set into it.
TEST_F(PoemEditTest, AfterAPostOrACancelTheTicksAreThoseOfTheCurrentVerse)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        pick(w.cbLetter, QStringLiteral("ل"));  // verse 1 (حكمة) and verse 3 (غزل, رثاء)
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});

        // Verse 1 now begins with ب: posted, it leaves the filter.
        pick(w.DBComboBox2, QStringLiteral("ب"));
        clickNav(w, DBNavigator::Post);
        ASSERT_EQ(currentText(*p), QStringLiteral("لمن طلل"));
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("لمن طلل"));
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("رثاء")}));
        toggle(w.clbCategories, 1);
        clickNav(w, DBNavigator::Post);

        // A new verse with a tick, beginning with another letter: posted, the filter hides it.
        clickNav(w, DBNavigator::Insert);
        intoMemo(w);
        type(QStringLiteral("سلام"));
        pick(w.DBComboBox2, QStringLiteral("س"));
        pick(w.DBComboBox1, QStringLiteral("م"));
        toggle(w.clbCategories, 0);
        clickNav(w, DBNavigator::Post);
        ASSERT_EQ(currentText(*p), QStringLiteral("لمن طلل"));
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("حكمة"), QStringLiteral("رثاء")}));

        // A tick cancelled: the stored set shows again.
        toggle(w.clbCategories, 2);
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("حكمة")}));
        clickNav(w, DBNavigator::Cancel);
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("حكمة"), QStringLiteral("رثاء")}));
        toggle(w.clbCategories, 0);
        clickNav(w, DBNavigator::Post);
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
    poem.setFiltered(false);
    const std::pair<int, const char*> expected[] = {{1, "(2)"}, {3, "(2)(3)"}, {5, "(1)"}};
    for (const auto& [recNo, categories] : expected) {
        poem.setRecNo(recNo);
        EXPECT_EQ(poem.field("Categories").asString(), categories) << "verse " << recNo;
    }
}

// A category's name erased in the categories window and left pending cannot be stored. Closing
// that window says so once; the verse window's activations that follow (the box closing, the
// user coming back) do not try the same edit again, and the window goes on working.
TEST_F(PoemEditTest, ACategoryLeftWithoutANameIsReportedOnceAndTheWindowGoesOn)
{
    auto p = start();
    seed(*p);
    QWidget elsewhere;  // another window, to take the activation away and give it back
    open(*p, [&](TfmPoemEdit& w) {
        dialogs->onModal = [&](QDialog& d) {
            auto& c = static_cast<TfmCategoryEdit&>(d);
            activate(c);
            QApplication::processEvents();
            clickCell(*c.DBGrid1, 1, 1);
            EXPECT_EQ(QApplication::focusWidget(), c.DBGrid1);
            press(Qt::Key_F2);
            press(Qt::Key_A, Qt::ControlModifier);
            press(Qt::Key_Backspace);
            press(Qt::Key_Return);
            EXPECT_EQ(p->fmMain->cdsCategories().state(), Table::State::Edit);
            c.hide();  // the title bar's close: the row stays pending
            return int(QDialog::Rejected);
        };
        click(w.bbCategory);
        for (int i = 0; i < 3; ++i) {
            activate(elsewhere);
            activate(w);
        }
        EXPECT_EQ(dialogs->texts("error"), QStringList{"Field value required."});
        ASSERT_EQ(w.clbCategories->count(), 3);  // the names as stored
        EXPECT_EQ(w.clbCategories->item(1)->text(), QStringLiteral("حكمة"));
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});
        clickCell(*w.DBGrid1, 2, ColText);
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("رثاء")}));
    });
    EXPECT_EQ(dialogs->texts("error").size(), 1);
    // Nothing of it was lost or stored: the row waits in the categories window to be finished.
    Table& categories = p->fmMain->cdsCategories();
    EXPECT_EQ(categories.state(), Table::State::Edit);
    EXPECT_EQ(categories.rowAt(1).cells[1].text(), cp(QStringLiteral("حكمة")));
}

// A verse refused for an empty field puts the focus on that field's control whatever started
// the commit: a click on another row, a letter picked in the list, an arrow key in the grid.
TEST_F(PoemEditTest, ARefusedVerseGetsTheFocusOnItsEmptyFieldWhateverStartedTheCommit)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        clickNav(w, DBNavigator::Insert);
        toggle(w.clbCategories, 0);  // something changed, so leaving the verse posts it

        clickCell(*w.DBGrid1, 0, ColText);
        EXPECT_EQ(QApplication::focusWidget(), w.DBMemo1);
        type(QStringLiteral("بيت جديد"));

        chooseLetter(w, QStringLiteral("ب"));
        EXPECT_EQ(QApplication::focusWidget(), w.DBComboBox2);
        EXPECT_EQ(w.cbLetter->currentIndex(), -1);  // the filter was not changed
        pick(w.DBComboBox2, QStringLiteral("ب"));

        w.DBGrid1->setFocus();
        press(Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), w.DBComboBox1);
        EXPECT_EQ(poem.state(), Table::State::Insert);
        pick(w.DBComboBox1, QStringLiteral("د"));
        press(Qt::Key_Tab);  // on to the next control, the new verse still pending
        clickCell(*w.DBGrid1, 0, ColText);
        EXPECT_EQ(poem.recordCount(), 5);
    });
    EXPECT_EQ(dialogs->texts("error"), QStringList({QStringLiteral("Field 'نص الشعر' must have a value"),
                                                    QStringLiteral("Field 'حرف البداية' must have a value"),
                                                    QStringLiteral("Field 'حرف النهاية' must have a value")}));
}

// Esc closes the verse window, but never over a changed verse that is not posted yet: the
// navigator's post or cancel decides what becomes of it. The authors and categories window does
// the same.
TEST_F(PoemEditTest, EscClosesTheWindowsOnlyWhenNoChangeIsPending)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        intoMemo(w);
        type(QStringLiteral(" يا"));
        press(Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(poem.state(), Table::State::Edit);
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("لقد طال ليلي يا"));
        clickNav(w, DBNavigator::Cancel);
        intoMemo(w);
        press(Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(currentText(*p), QStringLiteral("لقد طال ليلي"));

    Table& authors = p->fmMain->cdsAuthors();
    dialogs->onModal = [&](QDialog& d) {
        auto& c = static_cast<TfmCategoryEdit&>(d);
        activate(c);
        clickCell(*c.DBGrid1, 0, 1);
        type(QStringLiteral("الفرزدق"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
        EXPECT_TRUE(c.isVisible());
        EXPECT_EQ(authors.state(), Table::State::Edit);
        click(c.DBNavigator1->button(DBNavigator::Post));
        press(Qt::Key_Escape);
        EXPECT_FALSE(c.isVisible());
        c.hide();
        return int(QDialog::Rejected);
    };
    p->fmMain->imAuthorsClick();
    EXPECT_EQ(authors.rowAt(0).cells[1].text(), cp(QStringLiteral("الفرزدق")));
}

// A new verse left empty is dropped when the user clicks another verse, and the grid scrolls back
// while the click is taken: the highlight is on the verse the memo and the letters show.
TEST_F(PoemEditTest, AClickAwayFromAnEmptyNewVerseHighlightsTheVerseClicked)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        clickNav(w, DBNavigator::Insert);
        ASSERT_EQ(w.DBGrid1->model()->rowCount(), 5);
        ASSERT_GT(w.DBGrid1->verticalScrollBar()->value(), 0);  // the new row scrolled the grid
        // The empty row dropped, and the highlight on the one row the table is on.
        const auto settled = [&] {
            const QModelIndexList highlighted = w.DBGrid1->selectionModel()->selectedRows();
            return w.DBGrid1->model()->rowCount() == 4 && highlighted.size() == 1 &&
                   highlighted[0].row() == p->fmMain->cdsPoem().currentPosition();
        };
        for (const int row : {2, 1, 3}) {
            // Pressed and released apart, as a hand does: the grid settles in between.
            const QPoint at = cellCentre(*w.DBGrid1, row, 1);
            QTest::mouseMove(w.DBGrid1->viewport(), at);
            QTest::mousePress(w.DBGrid1->viewport(), Qt::LeftButton, {}, at);
            EXPECT_TRUE(QTest::qWaitFor(settled, 5000)) << "after the press on row " << row;
            QTest::mouseRelease(w.DBGrid1->viewport(), Qt::LeftButton, {}, at);
            EXPECT_TRUE(QTest::qWaitFor(settled, 5000)) << "after the release on row " << row;
            ASSERT_EQ(w.DBGrid1->model()->rowCount(), 4);
            const int shown = w.DBGrid1->currentIndex().row();
            EXPECT_EQ(shown, p->fmMain->cdsPoem().currentPosition()) << "clicked row " << row;
            const QModelIndexList highlighted = w.DBGrid1->selectionModel()->selectedRows();
            ASSERT_EQ(highlighted.size(), 1) << "clicked row " << row;
            EXPECT_EQ(highlighted[0].row(), shown) << "clicked row " << row;
            EXPECT_EQ(w.DBGrid1->model()->index(shown, 1).data().toString(), w.DBMemo1->toPlainText())
                << "clicked row " << row;
            clickNav(w, DBNavigator::Insert);
        }
    });
}

}  // namespace
