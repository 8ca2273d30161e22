// The authors and categories window, opened from the main window's two buttons and used through
// its grid, navigator and memo, offscreen.
#include "editing/category_edit.h"
#include "files_fixture.h"
#include "scripted_dialogs.h"
#include "shell/db_controls.h"
#include "shell/db_grid.h"
#include "shell/db_navigator.h"
#include "shell/main_window.h"
#include "app/program.h"
#include "text/codepage.h"

#include <QLabel>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::string ar(const char* utf8)
{
    return *codepage::fromUtf8(utf8);
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
            w.show();
            actions(w);
            w.hide();
            return int(QDialog::Rejected);
        };
        if (authors)
            p.fmMain->imAuthorsClick();
        else
            p.fmMain->imCategoriesClick();
    }
    // Types a name into the grid's name column of the current row.
    static void typeName(TfmCategoryEdit& w, const char* name)
    {
        TableModel& m = w.DBGrid1->tableModel();
        ASSERT_TRUE(m.setData(m.index(w.DataSource1.table()->currentPosition(), 1), QString::fromUtf8(name), Qt::EditRole));
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
            w.DBNavigator1->click(DBNavigator::Insert);
            typeName(w, "المتنبي");
            w.DBMemo1->setPlainText(QStringLiteral("شاعر العربية"));
            w.DBNavigator1->click(DBNavigator::Post);
            w.DBNavigator1->click(DBNavigator::Insert);
            typeName(w, "المعري");
            w.DBNavigator1->click(DBNavigator::Post);
            w.DBNavigator1->click(DBNavigator::First);
            typeName(w, "أبو الطيب المتنبي");
            w.DBNavigator1->click(DBNavigator::Post);
        });
        EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
        p->fmMain->close();
    }
    auto p = start();
    Table& authors = p->fmMain->cdsAuthors();
    ASSERT_EQ(authors.recordCount(), 2);
    authors.first();
    EXPECT_EQ(authors.field("AuthorName").asString(), ar("أبو الطيب المتنبي"));
    EXPECT_EQ(authors.field("Info").asString(), ar("شاعر العربية"));
    EXPECT_EQ(authors.field("AuthorID").asInteger(), 1);
    authors.next();
    EXPECT_EQ(authors.field("AuthorID").asInteger(), 2);
}

TEST_F(CategoryEditTest, AnEmptyNameIsRefusedWithEitherMessageAndTheRowStays)
{
    auto p = start();
    open(*p, false, [&](TfmCategoryEdit& w) {
        w.DBNavigator1->click(DBNavigator::Insert);
        w.DBNavigator1->click(DBNavigator::Post);
        typeName(w, "غزل");
        typeName(w, "");
        w.DBNavigator1->click(DBNavigator::Post);
        EXPECT_EQ(w.DataSource1.table()->state(), Table::State::Insert);
        EXPECT_TRUE(w.DBGrid1->hasFocus() || !w.isActiveWindow());
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
        w.DBNavigator1->click(DBNavigator::First);
        w.DBNavigator1->click(DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 2);
        w.DBNavigator1->click(DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 1);
        w.DBNavigator1->click(DBNavigator::Refresh);
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
            w.DBNavigator1->click(DBNavigator::Insert);
            typeName(w, name);
            w.DBNavigator1->click(DBNavigator::Post);
        }
        w.DBNavigator1->click(DBNavigator::Prior);
        typeName(w, "رثاء");
        w.DBNavigator1->click(DBNavigator::Next);  // moving on stores the change
    });
    Table& categories = p->fmMain->cdsCategories();
    categories.first();
    EXPECT_EQ(categories.field("CategoryName").asString(), ar("رثاء"));
    EXPECT_EQ(categories.field("CategoryID").asInteger(), 1);

    p->fmMain->cdsAuthors().appendRecord({Value(), Value(ar("جرير"))});
    dialogs->answers = {false, true};
    open(*p, true, [&](TfmCategoryEdit& w) {
        w.DBNavigator1->click(DBNavigator::Delete);
        EXPECT_EQ(w.DataSource1.table()->recordCount(), 1);
        w.DBNavigator1->click(DBNavigator::Delete);
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
    p->fmMain->cdsAuthors().appendRecord({Value(), Value(ar("جرير"))});
    open(*p, true, [&](TfmCategoryEdit& w) {
        const QImage shot = w.DBGrid1->grab().toImage();  // draws every cell once
        TableModel& m = w.DBGrid1->tableModel();
        EXPECT_TRUE(p->fmMain->cdsAuthors().fieldAt(0).readOnly());
        EXPECT_FALSE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
        EXPECT_FALSE(m.setData(m.index(0, 0), "7", Qt::EditRole));
        const QRect idCell = w.DBGrid1->visualRect(m.index(0, 0));
        const QPoint inside = idCell.center() + QPoint(idCell.width() / 3, 0) + w.DBGrid1->viewport()->pos();
        EXPECT_EQ(QColor(shot.pixel(inside)), QColor(0xD4, 0xD0, 0xC8));
    });
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

}  // namespace
