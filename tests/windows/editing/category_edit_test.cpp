// The authors and categories window, opened from the main window's two buttons and used through
// its grid, navigator and memo, offscreen.
#include "screen_reader.h"
#include "windows/editing/category_edit.h"
#include "files_fixture.h"
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/main/main_window.h"
#include "app/program.h"
#include "core/text/codepage.h"

#include <QLabel>
#include <QToolButton>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
}

// Clicks the navigator's button.
void clickNav(TfmCategoryEdit& w, DBNavigator::Button b)
{
    click(w.DBNavigator1->button(b));
}

// Clicks the name cell of a row and types over it.
void typeName(TfmCategoryEdit& w, int row, const char* name)
{
    clickCell(*w.DBGrid1, row, 1);
    type(QString::fromUtf8(name));
}

// Clicks into the memo and types at the end of its text.
void typeNote(TfmCategoryEdit& w, const char* text)
{
    QTest::mouseClick(w.DBMemo1->viewport(), Qt::LeftButton, {}, w.DBMemo1->viewport()->rect().center());
    press(Qt::Key_End, Qt::ControlModifier);
    type(QString::fromUtf8(text));
}

class CategoryEditTest : public ::testing::Test {
protected:
    std::unique_ptr<Program> start()
    {
        return std::make_unique<Program>(QString::fromStdString(dir.path()), QStringLiteral(BARQEEN_EXECUTABLE));
    }
    // Opens one mode of the window and runs the actions while it is shown.
    void open(Program& p, bool authors, const std::function<void(TfmCategoryEdit&)>& actions)
    {
        dialogs->onModal = [&](QDialog& d) {
            auto& w = static_cast<TfmCategoryEdit&>(d);
            activate(w);
            actions(w);
            w.hide();
            return int(QDialog::Rejected);
        };
        if (authors)
            p.fmMain->imAuthorsClick();
        else
            p.fmMain->imCategoriesClick();
    }

    TempFolder dir;
    ScriptedDialogsScope dialogs;
};

TEST_F(CategoryEditTest, AuthorsAreAddedChangedAndKeptAcrossARestart)
{
    {
        auto p = start();
        open(*p, true, [&](TfmCategoryEdit& w) {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("الشعراء"));
            EXPECT_EQ(w.stTitle->text(), QStringLiteral("إضافة وتعديل الشعراء"));
            EXPECT_EQ(w.height(), 488);
            EXPECT_TRUE(w.DBMemo1->isVisible());
            EXPECT_EQ(w.DBGrid1->tableModel().columnCount(), 2);  // Info is hidden from grids
            EXPECT_EQ(w.DBGrid1->tableModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                      QStringLiteral("إسم الشاعر"));
            EXPECT_TRUE(w.DBGrid1->hasFocus());
            clickNav(w, DBNavigator::Insert);
            type(QStringLiteral("المتنبي"));
            typeNote(w, "شاعر العربية");
            clickNav(w, DBNavigator::Post);
            // The note had the focus; a new row takes the name first.
            clickNav(w, DBNavigator::Insert);
            type(QStringLiteral("المعري"));
            clickNav(w, DBNavigator::Post);
            // Changed in place: a click on the name, the new name typed over it, posted.
            typeName(w, 0, "أبو الطيب المتنبي");
            clickNav(w, DBNavigator::Post);
            // A note typed at the end and one in the middle of its text.
            typeNote(w, " الكبير");
            QTest::mouseClick(w.DBMemo1->viewport(), Qt::LeftButton, {}, w.DBMemo1->viewport()->rect().center());
            press(Qt::Key_Home, Qt::ControlModifier);
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Left);  // right to left: Left goes on through the text
            type(QStringLiteral("ـ"));
            clickNav(w, DBNavigator::Post);
        });
        EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
        p->fmMain->close();
    }
    auto p = start();
    Table& authors = p->fmMain->cdsAuthors();
    ASSERT_EQ(authors.recordCount(), 2);
    authors.first();
    EXPECT_EQ(authors.field("AuthorName").asString(), ar("أبو الطيب المتنبي"));
    EXPECT_EQ(authors.field("Info").asString(), ar("شاعرـ العربية الكبير"));
    EXPECT_EQ(authors.field("AuthorID").asInteger(), 1);
    authors.next();
    EXPECT_EQ(authors.field("AuthorName").asString(), ar("المعري"));
    EXPECT_EQ(authors.field("AuthorID").asInteger(), 2);
}

TEST_F(CategoryEditTest, AnEmptyNameIsRefusedWithEitherMessageAndTheRowStays)
{
    auto p = start();
    open(*p, false, [&](TfmCategoryEdit& w) {
        clickNav(w, DBNavigator::Insert);
        clickNav(w, DBNavigator::Post);
        type(QStringLiteral("غزل"));
        press(Qt::Key_Return);
        // The name erased again: F2 opens the cell with its text, which is selected and deleted.
        press(Qt::Key_F2);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        clickNav(w, DBNavigator::Post);
        EXPECT_EQ(w.DataSource1.table()->state(), Table::State::Insert);
        EXPECT_TRUE(w.DBGrid1->hasFocus());
    });
    EXPECT_EQ(dialogs->texts("error"),
              QStringList({QStringLiteral("Field 'الموضوع' must have a value"), "Field value required."}));
    EXPECT_EQ(p->fmMain->cdsCategories().recordCount(), 0);
}

TEST_F(CategoryEditTest, DeleteOnlyAfterConfirmationAndRefreshIsRefused)
{
    auto p = start();
    for (const char* n : {"حكمة", "غزل"})
        p->fmMain->cdsCategories().appendRecord({Value(), Value(ar(n))});
    dialogs->answers = {false, true};
    open(*p, false, [&](TfmCategoryEdit& w) {
        clickNav(w, DBNavigator::First);
        clickNav(w, DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 2);
        clickNav(w, DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 1);
        clickNav(w, DBNavigator::Refresh);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 1);
    });
    EXPECT_EQ(dialogs->texts("confirm"), QStringList({"Delete record?", "Delete record?"}));
    EXPECT_EQ(dialogs->texts("error"), QStringList{"Missing data provider or data packet"});
    Table& c = p->fmMain->cdsCategories();
    c.first();
    EXPECT_EQ(c.field("CategoryName").asString(), ar("غزل"));
}

TEST_F(CategoryEditTest, CategoriesAreAddedAndChangedAndAnAuthorDeletedOnlyWhenConfirmed)
{
    auto p = start();
    open(*p, false, [&](TfmCategoryEdit& w) {
        for (const char* name : {"حكمة", "غزل"}) {
            clickNav(w, DBNavigator::Insert);
            type(QString::fromUtf8(name));
            clickNav(w, DBNavigator::Post);
        }
        typeName(w, 0, "رثاء");
        clickNav(w, DBNavigator::Next);  // moving on stores the change
        // Insert then cancel leaves the two rows, both still there to be chosen.
        clickNav(w, DBNavigator::Insert);
        type(QStringLiteral("مؤقت"));
        clickNav(w, DBNavigator::Cancel);
        EXPECT_EQ(w.DBGrid1->model()->rowCount(), 2);
        clickCell(*w.DBGrid1, 1, 1);
        EXPECT_EQ(w.DataSource1.table()->recNo(), 2);
        EXPECT_EQ(w.DBGrid1->model()->index(1, 1).data().toString(), QStringLiteral("غزل"));
    });
    Table& categories = p->fmMain->cdsCategories();
    ASSERT_EQ(categories.recordCount(), 2);
    categories.first();
    EXPECT_EQ(categories.field("CategoryName").asString(), ar("رثاء"));
    EXPECT_EQ(categories.field("CategoryID").asInteger(), 1);

    p->fmMain->cdsAuthors().appendRecord({Value(), Value(ar("جرير"))});
    dialogs->answers = {false, true};
    open(*p, true, [&](TfmCategoryEdit& w) {
        clickNav(w, DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 1);
        clickNav(w, DBNavigator::Delete);
        EXPECT_TRUE(w.DataSource1.table()->isEmpty());
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty());
    p->fmMain->close();
    auto again = start();
    EXPECT_TRUE(again->fmMain->cdsAuthors().isEmpty());
    EXPECT_EQ(again->fmMain->cdsCategories().recordCount(), 2);
}

TEST_F(CategoryEditTest, TheIdColumnIsDrawnGreyAndCannotBeTypedInto)
{
    auto p = start();
    for (const char* n : {"جرير", "الفرزدق"})
        p->fmMain->cdsAuthors().appendRecord({Value(), Value(ar(n))});
    open(*p, true, [&](TfmCategoryEdit& w) {
        const QImage shot = w.DBGrid1->grab().toImage();  // draws every cell once
        TableModel& m = w.DBGrid1->tableModel();
        EXPECT_TRUE(p->fmMain->cdsAuthors().fieldAt(0).readOnly());
        const QRect idCell = w.DBGrid1->visualRect(m.index(0, 0));
        const QPoint inside = idCell.center() + QPoint(idCell.width() / 3, 0) + w.DBGrid1->viewport()->pos();
        EXPECT_EQ(QColor(shot.pixel(inside)), QColor(0xD4, 0xD0, 0xC8));

        clickCell(*w.DBGrid1, 1, 0);
        type(QStringLiteral("9"));
        paste(QStringLiteral("7"));
        EXPECT_EQ(w.DataSource1.table()->state(), Table::State::Browse);
    });
    Table& authors = p->fmMain->cdsAuthors();
    EXPECT_EQ(authors.rowAt(0).cells[1].text(), ar("جرير"));
    EXPECT_EQ(authors.rowAt(1).cells[1].text(), ar("الفرزدق"));
    EXPECT_EQ(authors.rowAt(1).cells[0].integer(), 2);
}

// Esc neither closes the window over a pending insertion nor drops it.
TEST_F(CategoryEditTest, EscNeitherClosesTheWindowNorDropsAPendingInsertion)
{
    auto p = start();
    open(*p, true, [&](TfmCategoryEdit& w) {
        clickNav(w, DBNavigator::Insert);
        typeNote(w, "مخضرم");
        press(Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.result(), int(QDialog::Rejected));
        w.DBGrid1->setFocus();
        type(QStringLiteral("لبيد"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.DataSource1.table()->state(), Table::State::Insert);
        clickNav(w, DBNavigator::Post);
    });
    Table& authors = p->fmMain->cdsAuthors();
    ASSERT_EQ(authors.rowCount(), 1);
    EXPECT_EQ(authors.rowAt(0).cells[1].text(), ar("لبيد"));
    EXPECT_EQ(authors.rowAt(0).cells[2].text(), ar("مخضرم"));
}

TEST_F(CategoryEditTest, TheMemoIsBoundOnlyInAuthorsMode)
{
    auto p = start();
    TfmCategoryEdit& w = *p->fmCategoryEdit;
    open(*p, true, [](TfmCategoryEdit&) {});
    EXPECT_EQ(w.DBMemo1->link().source(), &w.DataSource1);
    open(*p, false, [&](TfmCategoryEdit& shown) {
        EXPECT_FALSE(shown.DBMemo1->isVisible());
        EXPECT_EQ(shown.height(), 333);
        EXPECT_EQ(shown.windowTitle(), QStringLiteral("المواضيع"));
    });
    EXPECT_EQ(w.DBMemo1->link().source(), nullptr);
    EXPECT_EQ(w.DataSource1.table(), &p->fmMain->cdsCategories());
    open(*p, true, [&](TfmCategoryEdit& shown) { EXPECT_TRUE(shown.DBMemo1->isVisible()); });
    EXPECT_EQ(w.DBMemo1->link().source(), &w.DataSource1);
    EXPECT_FALSE(p->fmMain->cdsAuthors().field("Info").visible());
}

// The poets' grid and the categories' grid are told apart by their names.
TEST_F(CategoryEditTest, TheTwoGridsHaveNamesOfTheirOwn)
{
    auto p = start();
    QString authors, categories;
    open(*p, true, [&](TfmCategoryEdit& w) { authors = readName(w.DBGrid1); });
    open(*p, false, [&](TfmCategoryEdit& w) { categories = readName(w.DBGrid1); });
    EXPECT_NE(authors, categories);
    EXPECT_TRUE(authors.contains(QStringLiteral("الشعراء"))) << authors.toStdString();
    EXPECT_TRUE(categories.contains(QStringLiteral("مواضيع"))) << categories.toStdString();
}

}  // namespace
