// The verse editing window used as a person does: letters picked from the drop-down lists, rows
// clicked in the grid, verses typed into the memo, categories ticked, the navigator's buttons.
#include "poem_edit_fixture.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>

using namespace barqeen;
using namespace barqeen::test;

namespace {

TEST_F(PoemEditTest, TheWindowAsDesigned)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("أضافة/تعديل أبيات الشعر"));
        EXPECT_EQ(w.StaticText1->text(), QStringLiteral("إضافة وتعديل أبيات الشعر"));
        EXPECT_EQ(w.size(), QSize(712, 513));
        EXPECT_EQ(w.DBGrid1->geometry(), QRect(8, 144, 689, 153));

        // "All letters" and the 28 letters, ق before ف; the two bound lists the 28 alone.
        ASSERT_EQ(w.cbLetter->count(), 29);
        EXPECT_EQ(w.cbLetter->itemText(0), QStringLiteral("كل الأحرف"));
        QString letters;
        for (int i = 1; i < 29; ++i)
            letters += w.cbLetter->itemText(i);
        EXPECT_EQ(letters, QStringLiteral("أبتثجحخدذرزسشصضطظعغقفكلمنهوي"));
        EXPECT_EQ(cp(letters).substr(19, 2), "\xDE\xDD");
        for (DBComboBox* box : {w.DBComboBox1, w.DBComboBox2}) {
            ASSERT_EQ(box->count(), 28);
            EXPECT_EQ(box->itemText(0), QStringLiteral("أ"));
            EXPECT_EQ(box->itemText(27), QStringLiteral("ي"));
        }
        EXPECT_EQ(w.cbLetter->currentIndex(), -1);  // no choice yet

        // Columns right to left with the fields' labels; no refresh button.
        QAbstractItemModel* m = w.DBGrid1->model();
        ASSERT_EQ(m->columnCount(), 5);
        const char* titles[] = {"رقم متسلسل", "نص الشعر", "الشاعر", "حرف البداية", "حرف النهاية"};
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(titles[c]));
        EXPECT_GT(w.DBGrid1->columnViewportPosition(ColId), w.DBGrid1->columnViewportPosition(ColText));
        EXPECT_FALSE(w.DBNavigator1->button(DBNavigator::Refresh)->isVisible());
        EXPECT_TRUE(w.DBNavigator1->button(DBNavigator::Cancel)->isVisible());

        // The count, the first verse's ticks, and the author by name.
        EXPECT_EQ(w.stCount->text(), "4");
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});
        EXPECT_EQ(cell(w, 0, ColAuthor), QStringLiteral("جرير"));
        EXPECT_EQ(cell(w, 2, ColAuthor), "");  // no author

        // Tab order from the letter list on.
        w.cbLetter->setFocus();
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w.DBGrid1);
        press(Qt::Key_Tab);  // the navigator's first enabled button
        EXPECT_EQ(QApplication::focusWidget()->parentWidget(), w.DBNavigator1);
        w.DBMemo1->setFocus();
        for (const QWidget* next : {static_cast<QWidget*>(w.clbCategories), static_cast<QWidget*>(w.DBComboBox1),
                                    static_cast<QWidget*>(w.DBComboBox2), static_cast<QWidget*>(w.bbCategory),
                                    static_cast<QWidget*>(w.bbAuthor)}) {
            press(Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), next) << QApplication::focusWidget()->metaObject()->className();
        }

        // The grid grows with the window; the bottom controls keep to the bottom right.
        const QRect memo = w.DBMemo1->geometry();
        w.resize(812, 613);
        EXPECT_EQ(w.DBGrid1->geometry(), QRect(8, 144, 789, 253));
        EXPECT_EQ(w.DBMemo1->geometry(), memo.translated(100, 100));
        EXPECT_EQ(w.bbAuthor->geometry(), QRect(96, 112, 81, 25));
        EXPECT_EQ(w.stCount->geometry().right(), 483 + 100);
        w.resize(712, 513);

        // The backdrop gradient: the top band teal, lighter further down.
        const QImage shot = w.grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(300, 60)), QColor(30 / 2 + 50, 30 / 3 + 150, 30 / 4 + 170));  // band 30
        EXPECT_EQ(QColor(shot.pixel(2, 0)), QColor(0x00, 0x40, 0x40));  // the title panel
    });
}

// Whether a text box shows its text uncut: in a picture of its inside, the text's ink reaches no
// edge (a cut glyph stops at the edge it is cut at).
bool inkClearOfEdges(QLabel* box)
{
    const QImage inside = box->grab(box->contentsRect()).toImage();
    const QColor paper = box->palette().color(QPalette::Window);
    const auto ink = [&](int x, int y) { return QColor(inside.pixel(x, y)) != paper; };
    bool ok = inside.width() > 2 && inside.height() > 2;
    for (int x = 0; x < inside.width(); ++x)
        ok = ok && !ink(x, 0) && !ink(x, inside.height() - 1);
    for (int y = 0; y < inside.height(); ++y)
        ok = ok && !ink(0, y) && !ink(inside.width() - 1, y);
    return ok;
}

// The count's box holds its number whole, at the window's own size and font: the «0» of an empty
// table as the first start shows it, and a count of two digits.
TEST_F(PoemEditTest, TheCountShowsItsNumberWhole)
{
    auto p = start();
    open(*p, [&](TfmPoemEdit& w) {
        EXPECT_EQ(w.stCount->text(), QStringLiteral("0"));
        EXPECT_TRUE(inkClearOfEdges(w.stCount)) << "width " << w.stCount->width();
    });
    for (int i = 0; i < 12; ++i)
        addVerse(*p, "لقد طال ليلي", 0, "ل", "ي", "");
    open(*p, [&](TfmPoemEdit& w) {
        EXPECT_EQ(w.stCount->text(), QStringLiteral("12"));
        EXPECT_TRUE(inkClearOfEdges(w.stCount)) << "width " << w.stCount->width();
        EXPECT_EQ(w.stCount->geometry().right(), 483) << "it grows to the left";
        EXPECT_EQ(w.stCount->height(), 17);
    });
}

// Every label stands clear of the control under it (the dots below the letters are not hidden),
// and the width the window gains goes to the verse column, the other columns as they were.
TEST_F(PoemEditTest, LabelsStandClearOfTheirControlsAndTheVerseColumnTakesTheWidth)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        const std::pair<QLabel*, QWidget*> labelled[] = {
            {w.Label1, w.cbLetter}, {w.Label2, w.DBMemo1}, {w.Label3, w.clbCategories}};
        for (const auto& [label, control] : labelled) {
            EXPECT_LE(label->geometry().bottom(), control->geometry().top() - 1) << label->text().toStdString();
            EXPECT_GE(label->height(), label->fontMetrics().height()) << label->text().toStdString();
        }
        QHeaderView* header = w.DBGrid1->horizontalHeader();
        auto widths = [&] {
            std::vector<int> out;
            for (int c = 0; c < w.DBGrid1->model()->columnCount(); ++c)
                out.push_back(header->sectionSize(c));
            return out;
        };
        const std::vector<int> before = widths();
        w.resize(w.width() + 200, w.height());
        const std::vector<int> after = widths();
        ASSERT_EQ(after.size(), before.size());
        for (size_t c = 0; c < after.size(); ++c)
            EXPECT_EQ(after[c] - before[c], c == ColText ? 200 : 0) << "column " << c;
        EXPECT_EQ(w.DBGrid1->horizontalScrollBar()->value(), w.DBGrid1->horizontalScrollBar()->minimum());
        w.resize(712, 513);
    });
}

TEST_F(PoemEditTest, PickingALetterShowsItsVersesAndAllLettersShowsEveryVerse)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        QAbstractItemModelTester tester(w.DBGrid1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        pick(w.cbLetter, QStringLiteral("ل"));
        EXPECT_EQ(poem.filterText(), cp(QStringLiteral("StartLetter = 'ل'")));
        EXPECT_TRUE(poem.filtered());
        EXPECT_EQ(w.stCount->text(), "2");
        ASSERT_EQ(w.DBGrid1->model()->rowCount(), 2);
        EXPECT_EQ(cell(w, 1, ColText), QStringLiteral("لمن طلل"));
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("لقد طال ليلي"));
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});

        // A click on the second row: the memo, the letter lists and the ticks follow.
        clickCell(*w.DBGrid1, 1, ColText);
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("لمن طلل"));
        EXPECT_EQ(w.DBComboBox1->currentText(), QStringLiteral("ر"));
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("رثاء")}));

        // A letter no verse begins with: nothing to show.
        pick(w.cbLetter, QStringLiteral("ظ"));
        EXPECT_EQ(w.stCount->text(), "0");
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 0);
        EXPECT_EQ(w.DBMemo1->toPlainText(), "");
        EXPECT_TRUE(ticked(w).isEmpty());

        pick(w.cbLetter, QStringLiteral("كل الأحرف"));
        EXPECT_FALSE(poem.filtered());
        EXPECT_EQ(w.stCount->text(), "4");
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 4);

        // With no filter on, "all letters" still goes back to the first verse.
        clickCell(*w.DBGrid1, 3, ColText);
        EXPECT_EQ(poem.recNo(), 4);
        pick(w.cbLetter, QStringLiteral("كل الأحرف"));
        EXPECT_EQ(poem.recNo(), 1);
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
}

TEST_F(PoemEditTest, AVerseAddedWithItsPoetLettersAndCategoriesIsThereAfterARestart)
{
    {
        auto p = start();
        seed(*p);
        Table& poem = p->fmMain->cdsPoem();
        open(*p, [&](TfmPoemEdit& w) {
            clickNav(w, DBNavigator::Insert);
            EXPECT_EQ(w.stCount->text(), "4") << w.stCount->text().toStdString() << poem.recordCount();
            intoMemo(w);
            type(QStringLiteral("على قدر أهل العزم"));
            press(Qt::Key_Return);
            type(QStringLiteral("تأتي العزائم"));
            pick(w.DBComboBox2, QStringLiteral("ع"));
            pick(w.DBComboBox1, QStringLiteral("م"));
            toggle(w.clbCategories, 1);
            toggle(w.clbCategories, 0);
            EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("حكمة")}));

            // The poet, chosen by name in the grid's drop-down.
            doubleClickCell(*w.DBGrid1, 4, ColAuthor);
            auto* editor = w.DBGrid1->findChild<QComboBox*>();
            ASSERT_TRUE(editor);
            ASSERT_TRUE(editor->isVisible());
            pick(editor, QStringLiteral("المتنبي"));
            press(Qt::Key_Return);
            EXPECT_EQ(p->fmMain->cdsPoem().state(), Table::State::Insert);
            EXPECT_EQ(cell(w, 4, ColAuthor), QStringLiteral("المتنبي"));

            clickNav(w, DBNavigator::Post);
            EXPECT_EQ(p->fmMain->cdsPoem().state(), Table::State::Browse);
            EXPECT_EQ(w.stCount->text(), "5");
        });
        EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
        p->fmMain->close();
    }
    auto p = start();
    Table& poem = p->fmMain->cdsPoem();
    ASSERT_EQ(poem.recordCount(), 5);
    poem.last();
    EXPECT_EQ(poem.field("TextID").asInteger(), 5);
    EXPECT_EQ(currentText(*p), QStringLiteral("على قدر أهل العزم\r\nتأتي العزائم"));
    EXPECT_EQ(poem.field("AuthorID").asInteger(), 2);
    EXPECT_EQ(poem.field("StartLetter").asString(), cp(QStringLiteral("ع")));
    EXPECT_EQ(poem.field("EndLetter").asString(), cp(QStringLiteral("م")));
    EXPECT_EQ(poem.field("Categories").asString(), "(1)(2)");  // item order, not click order
    open(*p, [&](TfmPoemEdit& w) {
        clickCell(*w.DBGrid1, 4, ColText);
        EXPECT_EQ(cell(w, 4, ColAuthor), QStringLiteral("المتنبي"));
        EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("حكمة")}));
    });
}

TEST_F(PoemEditTest, TypingInTheMiddleOfAVerseChangesItWhereTheCursorIs)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        clickCell(*w.DBGrid1, 1, ColText);
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("ألا ليت الشباب"));
        QTest::mouseClick(w.DBMemo1->viewport(), Qt::LeftButton, {}, w.DBMemo1->viewport()->rect().center());
        press(Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 7; ++i)
            press(Qt::Key_Left);  // right to left: Left goes on through the line
        type(QStringLiteral(" يا"));
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("ألا ليت يا الشباب"));
        EXPECT_EQ(p->fmMain->cdsPoem().state(), Table::State::Edit);
        clickNav(w, DBNavigator::Post);
    });
    Table& poem = p->fmMain->cdsPoem();
    poem.setRecNo(2);
    EXPECT_EQ(currentText(*p), QStringLiteral("ألا ليت يا الشباب"));
    EXPECT_TRUE(dialogs->texts("error").isEmpty());
}

TEST_F(PoemEditTest, TicksWriteTheSetAndAnInsertedVerseTakesThemAndStaysInserting)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        // (3)(3) shows one tick; any change rewrites the text from the ticks.
        clickCell(*w.DBGrid1, 3, ColText);
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("رثاء")});
        toggle(w.clbCategories, 1);
        EXPECT_EQ(poem.state(), Table::State::Edit);
        EXPECT_EQ(poem.field("Categories").asString(), "(2)(3)");
        toggle(w.clbCategories, 1);
        toggle(w.clbCategories, 2);
        EXPECT_EQ(poem.field("Categories").asString(), "");  // the last tick gone: the empty text
        clickNav(w, DBNavigator::Post);

        // A new verse.
        clickNav(w, DBNavigator::Insert);
        EXPECT_TRUE(ticked(w).isEmpty());
        toggle(w.clbCategories, 2);
        EXPECT_EQ(poem.state(), Table::State::Insert);
        EXPECT_EQ(poem.field("Categories").asString(), "(3)");
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("رثاء")});
        clickNav(w, DBNavigator::Cancel);
    });
    poem.setRecNo(4);
    EXPECT_EQ(poem.field("Categories").asString(), "");
    EXPECT_EQ(poem.recordCount(), 4);
}

TEST_F(PoemEditTest, ATickOnAnEmptySelectionStartsANewVerseThatKeepsIt)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        pick(w.cbLetter, QStringLiteral("ظ"));
        ASSERT_EQ(poem.recordCount(), 0);
        toggle(w.clbCategories, 1);
        EXPECT_EQ(poem.state(), Table::State::Insert);
        EXPECT_EQ(poem.field("Categories").asString(), "(2)");
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});
        clickNav(w, DBNavigator::Cancel);
        EXPECT_EQ(poem.state(), Table::State::Browse);
        EXPECT_TRUE(ticked(w).isEmpty());
    });
}

TEST_F(PoemEditTest, EachEmptyRequiredFieldIsRefusedInTurnWithTheFocusOnItsControl)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        clickNav(w, DBNavigator::Insert);
        toggle(w.clbCategories, 0);  // something changed, so the post is tried
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(QApplication::focusWidget(), w.DBMemo1);
        type(QStringLiteral("بيت جديد"));
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(QApplication::focusWidget(), w.DBComboBox2);
        pick(w.DBComboBox2, QStringLiteral("ب"));
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(QApplication::focusWidget(), w.DBComboBox1);
        EXPECT_EQ(poem.state(), Table::State::Insert);
        EXPECT_EQ(poem.recordCount(), 4);
        pick(w.DBComboBox1, QStringLiteral("د"));
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(poem.recordCount(), 5);

        // A letter typed into the grid's column and erased again.
        clickCell(*w.DBGrid1, 0, ColStart);
        type(QStringLiteral("x"));
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(poem.state(), Table::State::Edit);
        clickNav(w, DBNavigator::Cancel);
    });
    EXPECT_EQ(dialogs->texts("error"),
              QStringList({QStringLiteral("Field 'نص الشعر' must have a value"),
                           QStringLiteral("Field 'حرف البداية' must have a value"),
                           QStringLiteral("Field 'حرف النهاية' must have a value"), "Field value required."}));
    poem.first();
    EXPECT_EQ(poem.field("StartLetter").asString(), cp(QStringLiteral("ل")));
}

TEST_F(PoemEditTest, DeletingAsksFirstAndCancellingAnInsertionLeavesTheGridAsItWas)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    dialogs->answers = {false, true};
    open(*p, [&](TfmPoemEdit& w) {
        QAbstractItemModelTester tester(w.DBGrid1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        clickCell(*w.DBGrid1, 1, ColText);
        clickNav(w, DBNavigator::Delete);
        EXPECT_EQ(poem.recordCount(), 4);
        clickNav(w, DBNavigator::Delete);
        EXPECT_EQ(poem.recordCount(), 3);
        EXPECT_EQ(w.stCount->text(), "3");
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 3);

        clickNav(w, DBNavigator::Insert);
        intoMemo(w);
        type(QStringLiteral("يلغى"));
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 4);
        clickNav(w, DBNavigator::Cancel);
        EXPECT_EQ(poem.state(), Table::State::Browse);
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 3);
        EXPECT_EQ(w.stCount->text(), "3");
        EXPECT_EQ(w.DBMemo1->toPlainText(), currentText(*p));
        EXPECT_EQ(w.DBGrid1->currentIndex().row(), poem.recNo() - 1);
        for (int r = 0; r < 3; ++r)
            EXPECT_NE(cell(w, r, ColText), QStringLiteral("يلغى"));
    });
    EXPECT_EQ(dialogs->texts("confirm"), QStringList({"Delete record?", "Delete record?"}));
    EXPECT_EQ(poem.rowCount(), 3);
}

TEST_F(PoemEditTest, ALetterStillBeingTypedInTheGridIsTakenBeforeTheLetterListFilters)
{
    auto p = start();
    seed(*p);
    Table& poem = p->fmMain->cdsPoem();
    open(*p, [&](TfmPoemEdit& w) {
        // The first verse's first letter typed over in its cell, the editor still open.
        clickCell(*w.DBGrid1, 0, ColStart);
        type(QStringLiteral("ب"));
        pick(w.cbLetter, QStringLiteral("ب"));
        EXPECT_EQ(poem.state(), Table::State::Browse);
        EXPECT_EQ(w.stCount->text(), "2");  // the changed verse and the one that began with ب

        // A character the code page lacks stays in the cell: the filter and the list stay too.
        clickCell(*w.DBGrid1, 0, ColEnd);
        type(QStringLiteral("ж"));
        QTest::mouseClick(w.cbLetter, Qt::LeftButton);
        QAbstractItemView* list = w.cbLetter->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.cbLetter->currentText(), QStringLiteral("ب"));
        EXPECT_EQ(w.stCount->text(), "2");
        press(Qt::Key_Escape);
        clickNav(w, DBNavigator::Cancel);
    });
    ASSERT_FALSE(dialogs->texts("message").isEmpty());
    EXPECT_TRUE(dialogs->texts("message").back().contains(QStringLiteral("ж")));
    poem.setFiltered(false);
    poem.first();
    EXPECT_EQ(poem.field("StartLetter").asString(), cp(QStringLiteral("ب")));
    EXPECT_EQ(poem.field("EndLetter").asString(), cp(QStringLiteral("ي")));
}

TEST_F(PoemEditTest, TheLetterChoiceAndTheFilterStayFromOneOpeningToTheNext)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) { pick(w.cbLetter, QStringLiteral("ب")); });
    EXPECT_TRUE(p->fmMain->cdsPoem().filtered());
    open(*p, [&](TfmPoemEdit& w) {
        EXPECT_EQ(w.cbLetter->currentText(), QStringLiteral("ب"));
        EXPECT_EQ(w.stCount->text(), "1");
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("بكيت على الشباب"));
    });
}

TEST_F(PoemEditTest, TheCountAndTicksFollowMovesMadeElsewhere)
{
    auto p = start();
    seed(*p);
    open(*p, [](TfmPoemEdit&) {});  // fills the check list
    TfmPoemEdit& w = *p->fmPoemEdit;
    Table& poem = p->fmMain->cdsPoem();
    poem.setFilterText(cp(QStringLiteral("StartLetter = 'ب'")));
    poem.setFiltered(true);  // as the game's choice of a verse does
    EXPECT_EQ(w.stCount->text(), "1");
    EXPECT_EQ(ticked(w), QStringList{QStringLiteral("رثاء")});
    poem.setFiltered(false);
    poem.setRecNo(3);
    EXPECT_EQ(w.stCount->text(), "4");
    EXPECT_EQ(ticked(w), QStringList({QStringLiteral("غزل"), QStringLiteral("رثاء")}));
}

TEST_F(PoemEditTest, ACategoryAddedFromTheWindowIsListedUntickedWhenItsWindowCloses)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        dialogs->onModal = [&](QDialog&) {
            p->fmMain->cdsCategories().appendRecord({Value(), Value(cp(QStringLiteral("هجاء")))});
            return int(QDialog::Rejected);
        };
        click(w.bbCategory);
        ASSERT_EQ(w.clbCategories->count(), 4);
        EXPECT_EQ(w.clbCategories->item(3)->text(), QStringLiteral("هجاء"));
        EXPECT_EQ(w.clbCategories->item(3)->checkState(), Qt::Unchecked);
        EXPECT_EQ(p->fmCategory->CategoryIDs, (std::vector<int32_t>{1, 2, 3, 4}));
        EXPECT_EQ(ticked(w), QStringList{QStringLiteral("حكمة")});
        EXPECT_EQ(p->fmCategory->CheckedCategoriesText(), "(2)");

        // The poets' window opens over this one from its button.
        QString shown;
        dialogs->onModal = [&](QDialog& d) {
            shown = d.windowTitle();
            return int(QDialog::Rejected);
        };
        click(w.bbAuthor);
        EXPECT_EQ(shown, QStringLiteral("الشعراء"));
    });
}

TEST_F(PoemEditTest, ACharacterTheCodePageLacksStaysInTheMemoAndIsNotStored)
{
    auto p = start();
    seed(*p);
    open(*p, [&](TfmPoemEdit& w) {
        intoMemo(w);
        type(QStringLiteral(" 😀"));
        EXPECT_EQ(w.DBMemo1->toPlainText(), QStringLiteral("لقد طال ليلي 😀"));
        ASSERT_EQ(dialogs->texts("message").size(), 1);
        EXPECT_TRUE(dialogs->texts("message")[0].contains(QStringLiteral("😀")));
        EXPECT_EQ(currentText(*p), QStringLiteral("لقد طال ليلي "));
        press(Qt::Key_Backspace);
        press(Qt::Key_Backspace);  // the emoji is one character and the space before it
        // A presentation form (a lam-alif copied from a document) is folded to its letters.
        paste(QStringLiteral(" \uFEFB"));
        EXPECT_EQ(currentText(*p), QStringLiteral("لقد طال ليلي لا"));
        clickNav(w, DBNavigator::Post);
    });
    EXPECT_EQ(dialogs->texts("message").size(), 1);
    EXPECT_EQ(currentText(*p), QStringLiteral("لقد طال ليلي لا"));
}

}  // namespace
