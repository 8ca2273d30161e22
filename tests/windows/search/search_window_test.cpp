// The search window from the main window's search button, offscreen, used as a person does:
// words typed and Enter pressed, the panel's boxes ticked and its lists chosen from, a result
// double-clicked into the verse editing window, the window closed.
#include "screen_reader.h"
#include "app/program.h"
#include "windows/editing/poem_edit.h"
#include "files_fixture.h"
#include "windows/shell/picture_push_button.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "core/search/verse_search.h"
#include "windows/search/search_window.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/main/main_window.h"
#include "windows/shell/picture_button.h"
#include "core/text/codepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVariantAnimation>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

// Opens the list, goes to its top and down it with the keys to the item, then Enter; the window
// is active again once the list has closed, as the window manager makes it.
void choose(QComboBox* list, const QString& item)
{
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(view->isVisible()) << item.toStdString();
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i <= list->count() && view->currentIndex().data().toString() != item; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(list->currentText(), item);
    activate(*list->window());
}

// The verses each test searches: text, author, first letter, last letter, categories.
struct Verse {
    const char* text;
    int64_t author;
    const char* start;
    const char* end;
    const char* categories;
};
const Verse kVerses[] = {
    {"أحبابنا ما أجمل الدنيا بكم", 1, "أ", "م", "(1)"},                // 1
    {"إذا غامرت في شرف مروم\r\nفلا تقنع بما دون النجوم", 2, "أ", "م", "(2)"},  // 2
    {"بكيت على الشباب بدمع عيني", 1, "ب", "ن", "(1)(2)"},             // 3
    {"ذكرت اللّه في قلبي", 3, "ذ", "ب", ""},                           // 4
    {"ومن يك ذا فم مر مريض", 2, "و", "ض", "(12)"},                    // 5
    {"حبيب القلب في رحمة", 3, "ح", "ة", ""},                          // 6
};

class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
        TfmMain& m = *program->fmMain;
        for (const char* name : {"المتنبي", "أبو تمام", "البحتري"})
            m.cdsAuthors().appendRecord({Value(), Value(ar(name)), Value()});
        for (const char* name : {"غزل", "حكمة"})
            m.cdsCategories().appendRecord({Value(), Value(ar(name))});
        for (const Verse& v : kVerses)
            m.cdsPoem().appendRecord({Value(), Value(ar(v.text)), Value(), Value(v.author), Value(ar(v.start)),
                                      Value(ar(v.end)), *v.categories ? Value(v.categories) : Value()});
    }
    TfmMain& main() { return *program->fmMain; }
    TfmSearch& search() { return *program->fmSearch; }

    // The search button of the main window; the actions run while the search window is shown.
    void openSearch(const std::function<void(TfmSearch&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            EXPECT_EQ(&d, static_cast<QDialog*>(&search()));
            activate(d);
            actions(search());
            if (d.isVisible())
                d.reject();
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(main().imSearch, Qt::LeftButton);
    }

    // Clears the search box and types the words, then Enter.
    void searchFor(TfmSearch& w, const QString& words)
    {
        QTest::mouseClick(w.edSearch, Qt::LeftButton);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Delete);
        type(words);
        press(Qt::Key_Return);
    }

    // The grid slides to its place while the window goes on taking input: waits until it stands.
    static void untilTheGridStands(TfmSearch& w)
    {
        auto* slide = w.findChild<QVariantAnimation*>();
        ASSERT_NE(slide, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return slide->state() == QAbstractAnimation::Stopped; }, 10000))
            << "the grid is still sliding";
    }

    std::set<int64_t> listed(TfmSearch& w)
    {
        std::set<int64_t> keys;
        const int column = w.DBGrid1->tableModel().columnOfField("TextID");
        for (int r = 0; r < w.DBGrid1->model()->rowCount(); ++r)
            keys.insert(w.DBGrid1->model()->index(r, column).data().toLongLong());
        return keys;
    }

    TempFolder dir;
    ScriptedDialogsScope dialogs;
    std::unique_ptr<Program> program;
};

TEST_F(SearchWindowTest, LayoutBeforeTheFirstSearch)
{
    openSearch([&](TfmSearch& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("البحث"));
        EXPECT_EQ(w.size(), QSize(536, 392));
        EXPECT_EQ(w.layoutDirection(), Qt::RightToLeft);
        EXPECT_EQ(w.Panel2->geometry(), QRect(0, 0, 536, 48));
        EXPECT_EQ(w.StaticText1->text(), QStringLiteral("بحـــث"));
        EXPECT_EQ(w.Label1->text(), QStringLiteral("بحث مفردات"));
        EXPECT_EQ(w.edSearch->geometry(), QRect(352, 70, 169, 21));
        EXPECT_EQ(w.bbSearch->text(), QStringLiteral("ابحث"));
        EXPECT_TRUE(w.bbSearch->isDefault());
        EXPECT_EQ(w.LaLabelCount->text(), QStringLiteral("عدد ابيات الشعر"));
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral("0"));
        EXPECT_FALSE(w.cxAdvanced->isChecked());
        EXPECT_FALSE(w.Panel1->isVisible());
        for (QWidget* picker :
             std::initializer_list<QWidget*>{w.dblcAuthor, w.cbStartLetter, w.cbEndLetter, w.dblcCategory, w.cbMeter})
            EXPECT_FALSE(picker->isEnabled());
        EXPECT_EQ(w.cbStartLetter->count(), 26);
        EXPECT_EQ(w.cbStartLetter->findText(QStringLiteral("ق")), -1);
        EXPECT_EQ(w.cbEndLetter->findText(QStringLiteral("ف")), -1);
        EXPECT_EQ(w.dblcAuthor->count(), 3);
        EXPECT_EQ(w.dblcCategory->count(), 2);
        // Closed panel: the grid has slid up, its bottom edge still inside the window.
        untilTheGridStands(w);
        EXPECT_EQ(w.DBGrid1->y(), 115);
        EXPECT_EQ(w.DBGrid1->geometry().bottom(), w.height() - 7);
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 0);  // bound from the first search on
        EXPECT_EQ(w.focusWidget(), w.edSearch);
        // The tab order, with the panel shown and every picker enabled.
        w.Panel1->show();
        for (QWidget* picker :
             std::initializer_list<QWidget*>{w.dblcAuthor, w.cbStartLetter, w.cbEndLetter, w.dblcCategory, w.cbMeter})
            picker->setEnabled(true);
        const std::vector<QWidget*> order = {w.edSearch,    w.DBGrid1,       w.cxAuthor,   w.dblcAuthor,
                                             w.cxStartLetter, w.cbStartLetter, w.cxEndLetter, w.cbEndLetter,
                                             w.cxCategory,  w.dblcCategory,  w.cxMeter,    w.cbMeter,
                                             w.bbSearch,    w.cxAdvanced};
        std::vector<QWidget*> chain{w.edSearch};
        for (QWidget* next = w.edSearch->nextInFocusChain(); next != w.edSearch && chain.size() < 40;
             next = next->nextInFocusChain())
            if (next->focusPolicy() & Qt::TabFocus && next->isVisibleTo(&w) && next->isEnabled() && next->window() == &w &&
                !qobject_cast<QAbstractScrollArea*>(next->parentWidget()))
                chain.push_back(next);
        EXPECT_EQ(chain, order);
    });
    EXPECT_FALSE(main().SearchActive);
}

TEST_F(SearchWindowTest, WordsTypedAndEnterListTheVersesAndTheCount)
{
    openSearch([&](TfmSearch& w) {
        const struct {
            QString words;
            std::set<int64_t> found;
        } cases[] = {
            {QStringLiteral("حب"), {1, 6}},               // inside longer words, hamza forms folded
            {QStringLiteral("   حب  "), {1, 6}},          // leading and trailing spaces make no word
            {QStringLiteral("اجمل بكم"), {1}},            // every word, in any order
            {QStringLiteral("مرومفلا"), {2}},             // a line break joins the words around it
            {QStringLiteral("الله"), {}},                 // a shadda must match
            {QStringLiteral("اللّه"), {4}},
            {QStringLiteral("رحمه"), {}},                 // teh marbuta is not heh
            {QStringLiteral("عَيني"), {3}},               // a mark typed is dropped
            {QStringLiteral("َ"), {}},                    // a word of marks only finds nothing
            {QStringLiteral("😀"), {}},                   // a character no verse can hold
            {QString(), {1, 2, 3, 4, 5, 6}},              // no word: every verse
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.words.toStdString());
            searchFor(w, c.words);
            EXPECT_EQ(w.edSearch->text(), c.words);
            EXPECT_TRUE(main().SearchActive);
            EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" %1 ").arg(c.found.size()));
            EXPECT_EQ(listed(w), c.found);
            EXPECT_EQ(main().cdsPoem().recordCount(), int(c.found.size()));
        }
        // The button itself, clicked.
        QTest::mouseClick(w.edSearch, Qt::LeftButton);
        press(Qt::Key_End);
        type(QStringLiteral("قلب"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{4, 6}));
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 2 "));
    });
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST_F(SearchWindowTest, PanelCriteriaTickedAndChosen)
{
    openSearch([&](TfmSearch& w) {
        click(w.cxAdvanced);
        EXPECT_TRUE(w.Panel1->isVisible());
        untilTheGridStands(w);
        EXPECT_EQ(w.DBGrid1->y(), 200);  // slid down below the panel
        EXPECT_EQ(w.DBGrid1->geometry().bottom(), w.height() - 7);

        click(w.cxAuthor);
        EXPECT_TRUE(w.dblcAuthor->isEnabled());
        press(Qt::Key_Return);  // no author chosen: no verse
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 0 "));
        choose(w.dblcAuthor, QStringLiteral("أبو تمام"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{2, 5}));

        click(w.cxStartLetter);
        // The list opens short, with a scroll bar, not as a column of all 26 letters.
        QTest::mouseClick(w.cbStartLetter, Qt::LeftButton);
        QAbstractItemView* letters = w.cbStartLetter->view();
        ASSERT_TRUE(letters->isVisible());
        EXPECT_LE(letters->window()->height(), 13 * letters->visualRect(letters->model()->index(0, 0)).height());
        QTest::keyClick(letters, Qt::Key_Escape);
        activate(w);
        choose(w.cbStartLetter, QStringLiteral("أ"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{2}));

        // Unticked, the author's picker is disabled and keeps its choice; the criterion is off.
        click(w.cxAuthor);
        EXPECT_FALSE(w.dblcAuthor->isEnabled());
        EXPECT_EQ(w.dblcAuthor->currentText(), QStringLiteral("أبو تمام"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{1, 2}));
        click(w.cxStartLetter);

        click(w.cxEndLetter);
        choose(w.cbEndLetter, QStringLiteral("م"));
        QTest::mouseClick(w.edSearch, Qt::LeftButton);
        type(QStringLiteral("الدنيا"));
        press(Qt::Key_Return);
        EXPECT_EQ(listed(w), (std::set<int64_t>{1}));
        click(w.cxEndLetter);

        // A category ticked with none chosen finds nothing, as the author does.
        click(w.cxCategory);
        click(w.bbSearch);
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 0 "));
        choose(w.dblcCategory, QStringLiteral("غزل"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{1}));
        searchFor(w, QString());
        EXPECT_EQ(listed(w), (std::set<int64_t>{1, 3}));  // (1) is not in (12)

        // The panel closed: its ticks no longer count.
        click(w.cxAdvanced);
        EXPECT_FALSE(w.Panel1->isVisible());
        untilTheGridStands(w);
        EXPECT_EQ(w.DBGrid1->y(), 115);
        EXPECT_EQ(w.DBGrid1->geometry().bottom(), w.height() - 7);
        click(w.bbSearch);
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 6 "));
    });
}

// A click on the box while the grid slides is taken at once; the grid ends where the last click
// sends it.
// A screen reader ticks a box through its toggle action, which is no click: the panel and the
// criterion follow the tick all the same.
TEST_F(SearchWindowTest, TheScreenReadersToggleActsAsAClickDoes)
{
    const auto toggle = [](QWidget* box) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(box);
        ASSERT_TRUE(i && i->actionInterface());
        ASSERT_TRUE(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        i->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    openSearch([&](TfmSearch& w) {
        toggle(w.cxAdvanced);
        EXPECT_TRUE(w.cxAdvanced->isChecked());
        EXPECT_TRUE(w.Panel1->isVisible());
        toggle(w.cxAuthor);
        EXPECT_TRUE(w.dblcAuthor->isEnabled());
        choose(w.dblcAuthor, QStringLiteral("أبو تمام"));
        click(w.bbSearch);
        EXPECT_EQ(listed(w), (std::set<int64_t>{2, 5}));
        toggle(w.cxAuthor);
        EXPECT_FALSE(w.dblcAuthor->isEnabled());
        toggle(w.cxAdvanced);
        EXPECT_FALSE(w.Panel1->isVisible());
    });
}

TEST_F(SearchWindowTest, ClickDuringTheSlideIsTakenAndTheLastOneDecides)
{
    openSearch([&](TfmSearch& w) {
        bool clickedDuringSlide = false;
        QTimer::singleShot(0, &w, [&] {
            clickedDuringSlide = w.Panel1->isVisible() && w.DBGrid1->y() < 200;
            click(w.cxAdvanced);
        });
        click(w.cxAdvanced);
        untilTheGridStands(w);
        EXPECT_TRUE(clickedDuringSlide);
        EXPECT_FALSE(w.cxAdvanced->isChecked());
        EXPECT_FALSE(w.Panel1->isVisible());
        EXPECT_EQ(w.DBGrid1->y(), 115);
        EXPECT_EQ(w.DBGrid1->geometry().bottom(), w.height() - 7);
    });
}

TEST_F(SearchWindowTest, ShowingAgainKeepsTheCriteriaAndReplaysTheSlide)
{
    openSearch([&](TfmSearch& w) {
        click(w.cxAdvanced);
        searchFor(w, QStringLiteral("حب"));
    });
    EXPECT_FALSE(main().SearchActive);
    openSearch([&](TfmSearch& w) {
        EXPECT_EQ(w.edSearch->text(), QStringLiteral("حب"));
        EXPECT_TRUE(w.cxAdvanced->isChecked());
        EXPECT_TRUE(w.Panel1->isVisible());
        untilTheGridStands(w);
        EXPECT_EQ(w.DBGrid1->y(), 200);
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 2 "));
        EXPECT_FALSE(main().SearchActive);  // until the button is pressed again
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 6);
    });
}

// A result double-clicked opens the verse editing window on that verse; a change made there is
// what the next search finds. Its letter list narrows the results; "كل الأحرف" lifts the search.
TEST_F(SearchWindowTest, DoubleClickedResultOpensTheVerseEditingWindow)
{
    int editings = 0;
    openSearch([&](TfmSearch& w) {
        searchFor(w, QStringLiteral("قلب"));
        ASSERT_EQ(listed(w), (std::set<int64_t>{4, 6}));
        dialogs->onModal = [&](QDialog& d) {
            ++editings;
            auto& edit = static_cast<TfmPoemEdit&>(d);
            EXPECT_EQ(&edit, program->fmPoemEdit.get());
            activate(edit);
            EXPECT_EQ(main().cdsPoem().field("TextID").asInteger(), 6);
            EXPECT_EQ(edit.stCount->text(), QStringLiteral("2"));  // the results only
            EXPECT_FALSE(main().cdsPoem().field("Categories").visible());
            // The verse's text changed in the memo and posted.
            QApplication::processEvents();
            QTest::mouseClick(edit.DBMemo1->viewport(), Qt::LeftButton);
            EXPECT_EQ(QApplication::focusWidget(), edit.DBMemo1);
            EXPECT_EQ(main().cdsPoem().field("TextID").asInteger(), 6);
            press(Qt::Key_Home, Qt::ControlModifier);
            press(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
            type(QStringLiteral("حبيب الروح في رحمة"));
            click(edit.DBNavigator1->button(DBNavigator::Post));
            // The letter list combines with the search; "كل الأحرف" switches filtering off.
            choose(edit.cbLetter, QStringLiteral("ذ"));
            EXPECT_EQ(edit.stCount->text(), QStringLiteral("1"));
            choose(edit.cbLetter, QStringLiteral("كل الأحرف"));
            EXPECT_EQ(edit.stCount->text(), QStringLiteral("6"));
            edit.reject();
            return int(QDialog::Rejected);
        };
        doubleClickCell(*w.DBGrid1, 1, 1);
        EXPECT_EQ(editings, 1);
        activate(w);  // back in the search window
        press(Qt::Key_Return);
        EXPECT_EQ(listed(w), (std::set<int64_t>{4}));
        searchFor(w, QStringLiteral("الروح"));
        EXPECT_EQ(listed(w), (std::set<int64_t>{6}));
        EXPECT_EQ(main().cdsPoem().field("Text").asString(), ar("حبيب الروح في رحمة"));
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
}

TEST_F(SearchWindowTest, ClosingLetsEveryViewSeeAllVersesAgain)
{
    openSearch([&](TfmSearch& w) {
        searchFor(w, QStringLiteral("قلب"));
        EXPECT_EQ(main().cdsPoem().recordCount(), 2);
        w.close();  // as the title bar's close button does
    });
    EXPECT_FALSE(main().SearchActive);
    EXPECT_EQ(main().cdsPoem().recordCount(), 6);
    EXPECT_TRUE(main().cdsPoem().filtered());
    EXPECT_EQ(main().cdsPoem().filterText(), "");
    int shownCount = -1;
    dialogs->onModal = [&](QDialog& d) {
        auto& edit = static_cast<TfmPoemEdit&>(d);
        activate(edit);
        shownCount = edit.stCount->text().toInt();
        edit.reject();
        return int(QDialog::Rejected);
    };
    QTest::mouseClick(main().imPoemEdit, Qt::LeftButton);
    EXPECT_EQ(shownCount, 6);
}

// A verse found, opened, its text erased and its window closed: the edit is pending. Closing the
// search does not post it (nor say why it cannot be posted); every verse shows again, the
// cursor still on the edited verse.
TEST_F(SearchWindowTest, ClosingLeavesAPendingEditPendingAndShowsEveryVerse)
{
    openSearch([&](TfmSearch& w) {
        searchFor(w, QStringLiteral("قلب"));
        dialogs->onModal = [&](QDialog& d) {
            auto& edit = static_cast<TfmPoemEdit&>(d);
            activate(edit);
            QApplication::processEvents();
            QTest::mouseClick(edit.DBMemo1->viewport(), Qt::LeftButton);
            EXPECT_EQ(QApplication::focusWidget(), edit.DBMemo1);
            press(Qt::Key_Home, Qt::ControlModifier);
            press(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
            press(Qt::Key_Backspace);
            edit.close();  // the title bar's close button
            return int(QDialog::Rejected);
        };
        doubleClickCell(*w.DBGrid1, 1, 1);
        activate(w);
        w.close();
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
    Table& poem = main().cdsPoem();
    EXPECT_FALSE(main().SearchActive);
    EXPECT_EQ(poem.recordCount(), 6);
    EXPECT_EQ(poem.state(), Table::State::Edit);
    EXPECT_EQ(poem.field("TextID").asInteger(), 6);
    EXPECT_EQ(poem.field("Text").asString(), "");
    poem.cancel();
    EXPECT_EQ(poem.field("Text").asString(), ar("حبيب القلب في رحمة"));
}

// A criterion changed after a search, without the button: the verses listed follow at once, so
// the table never lists verses its own filter now refuses.
TEST_F(SearchWindowTest, ACriterionChangedAfterASearchIsFollowedAtOnce)
{
    openSearch([&](TfmSearch& w) {
        searchFor(w, QStringLiteral("قلب"));
        ASSERT_EQ(listed(w), (std::set<int64_t>{4, 6}));
        press(Qt::Key_Backspace);
        press(Qt::Key_Backspace);
        type(QStringLiteral("بكم"));  // the search box now reads قبكم: no verse
        EXPECT_TRUE(listed(w).empty());
        EXPECT_EQ(w.LaSearchCount->text(), QStringLiteral(" 0 "));
        press(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("بكم"));
        EXPECT_EQ(listed(w), (std::set<int64_t>{1}));
        click(w.cxAdvanced);
        click(w.cxStartLetter);
        choose(w.cbStartLetter, QStringLiteral("ب"));
        EXPECT_TRUE(listed(w).empty());
        EXPECT_EQ(main().cdsPoem().recordCount(), 0);
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
}

// A long poet's name shows whole in the opened list, wider than its box; the found verses show
// their poet and letters beside the text without a sideways scroll.
TEST_F(SearchWindowTest, LongNamesShowWholeAndTheFoundVersesShowEveryColumn)
{
    const QString longName = QStringLiteral("أبو الطيب أحمد بن الحسين");
    main().cdsAuthors().appendRecord({Value(), Value(*codepage::fromUtf8(longName.toStdString())), Value()});
    openSearch([&](TfmSearch& w) {
        click(w.cxAdvanced);
        click(w.cxAuthor);
        QTest::mouseClick(w.dblcAuthor, Qt::LeftButton);
        QAbstractItemView* names = w.dblcAuthor->view();
        ASSERT_TRUE(names->isVisible());
        const int row = w.dblcAuthor->findText(longName);
        ASSERT_GE(row, 0);
        EXPECT_GE(names->viewport()->width(), names->fontMetrics().horizontalAdvance(longName));
        EXPECT_GT(names->window()->width(), w.dblcAuthor->width());
        QTest::keyClick(names, Qt::Key_Escape);
        activate(w);

        click(w.cxAdvanced);
        searchFor(w, QStringLiteral("قلب"));
        DBGrid& grid = *w.DBGrid1;
        EXPECT_EQ(grid.horizontalScrollBar()->value(), grid.horizontalScrollBar()->minimum());
        for (const char* field : {"TextID", "Text", "AuthorName", "StartLetter", "EndLetter"}) {
            const int c = grid.tableModel().columnOfField(field);
            ASSERT_GE(c, 0) << field;
            EXPECT_GE(grid.columnViewportPosition(c), 0) << field;
            EXPECT_LE(grid.columnViewportPosition(c) + grid.columnWidth(c), grid.viewport()->width()) << field;
        }
        const int text = grid.tableModel().columnOfField("Text");
        for (int c = 0; c < grid.model()->columnCount(); ++c)
            EXPECT_GE(grid.columnWidth(text), grid.columnWidth(c)) << "the verse is the widest column";
    });
}

// The first search makes the matching forms on other threads while the window takes input. A
// close in the meantime changes the verse table's filter: it waits until the forms are made.
TEST_F(SearchWindowTest, ClosedWhileTheFirstSearchMakesTheFormsItWaitsForThem)
{
    for (int i = 0; i < 10000; ++i)
        main().cdsPoem().appendRecord({Value(), Value(ar("بكيت على الشباب بدمع عيني")), Value(), Value(int64_t(1)),
                                       Value(ar("ب")), Value(ar("ن")), Value()});
    bool formsMadeAtClose = false;
    openSearch([&](TfmSearch& w) {
        QTest::mouseClick(w.edSearch, Qt::LeftButton);
        type(QStringLiteral("الشباب"));
        // Esc as soon as the search lets the window take input again.
        QTimer::singleShot(0, &w, [&] {
            QTest::keyClick(&w, Qt::Key_Escape);
            formsMadeAtClose = !main().search().needsForms();
        });
        QTest::keyClick(w.edSearch, Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_TRUE(formsMadeAtClose);
    EXPECT_FALSE(main().SearchActive);
    EXPECT_EQ(main().cdsPoem().recordCount(), 10006);
}

// The title reads as the word, without the drawn tatweels; the count reads with its caption.
TEST_F(SearchWindowTest, TheTitleAndTheCountReadPlainly)
{
    openSearch([&](TfmSearch& w) {
        EXPECT_EQ(readName(w.StaticText1), QStringLiteral("بحث"));
        EXPECT_EQ(readCaptions(w.LaSearchCount), QStringList{w.LaLabelCount->text()});
    });
}

}  // namespace
