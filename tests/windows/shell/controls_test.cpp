// The data-bound controls over a small table: the grid's model, the grid following the cursor
// both ways, the memo, the lists and the navigator; and the verse-cell rule.
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/shell/painting.h"
#include "windows/shell/verse_cell.h"
#include "core/text/codepage.h"

#include <QAccessible>
#include <QAbstractItemModelTester>
#include <QDialog>
#include <QPainter>
#include <QToolButton>

using namespace barqeen;
using namespace barqeen::test;

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        authors.addFieldDef({"AuthorID", FieldType::AutoIncrement, 0, false});
        authors.addFieldDef({"AuthorName", FieldType::String, 30, true});
        authors.addIndexDef({"", "AuthorID", true, true});
        authors.createDataSet();
        for (const char* n : {"المتنبي", "المعري"})
            authors.appendRecord({Value(), Value(*codepage::fromUtf8(n))});

        poem.addFieldDef({"TextID", FieldType::AutoIncrement, 0, false});
        poem.addFieldDef({"Text", FieldType::Memo, 70, true});
        poem.addFieldDef({"AuthorID", FieldType::Integer, 0, false});
        poem.addFieldDef({"StartLetter", FieldType::String, 1, true});
        poem.addIndexDef({"", "TextID", true, true});
        poem.addLookupField(2, "AuthorName", 30, "AuthorID", authors, "AuthorName");
        poem.field("AuthorID").setVisible(false);
        poem.createDataSet();
        for (int i = 0; i < 5; ++i)
            poem.appendRecord({Value(), Value("verse " + std::to_string(i)), Value(), Value(i % 2 + 1), Value(i % 2 ? "a" : "b")});
        source.setTable(&poem);
    }

    Table authors{"authors"};
    Table poem{"poem"};
    DataSource source;
};

TEST_F(ControlsTest, ModelPassesTheModelTesterThroughEveryKindOfChange)
{
    TableModel model(source);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 4);  // AuthorID is hidden from grids
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "AuthorName");
    EXPECT_EQ(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("المعري"));

    poem.append();
    EXPECT_EQ(model.rowCount(), 6);
    poem.field("Text").setAsString("new");
    poem.field("StartLetter").setAsString("a");
    EXPECT_EQ(model.data(model.index(5, 1), Qt::DisplayRole).toString(), "new");
    poem.post();
    EXPECT_EQ(model.rowCount(), 6);
    poem.insert();
    poem.cancel();
    poem.appendRecord({Value(), Value("x"), Value(), Value(), Value("b")});
    poem.setRecNo(2);
    poem.remove();
    poem.setFilterText("StartLetter = 'a'");
    poem.setFiltered(true);
    EXPECT_EQ(model.rowCount(), poem.recordCount());
    poem.field("Text").setDisplayLabel("النص");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("النص"));
    source.setTable(&authors);
    EXPECT_EQ(model.columnCount(), 2);
}

TEST_F(ControlsTest, GridRowFollowsTheCursorAndTheCursorFollowsTheGrid)
{
    DBGrid grid(source);
    grid.show();
    poem.setRecNo(4);
    EXPECT_EQ(grid.currentIndex().row(), 3);
    grid.setCurrentIndex(grid.tableModel().index(1, 1));
    EXPECT_EQ(poem.recNo(), 2);
    poem.field("Text").setDisplayLabel("relabelled");  // the columns are redone; the row stays
    EXPECT_EQ(grid.currentIndex().row(), 1);
    poem.field("Text").setDisplayLabel("Text");

    // A refused move (required text left empty) keeps the grid on the table's row.
    ScriptedDialogsScope dialogs;
    poem.insert();
    poem.field("StartLetter").setAsString("a");
    grid.setCurrentIndex(grid.tableModel().index(0, 1));
    EXPECT_EQ(poem.state(), Table::State::Insert);
    EXPECT_EQ(grid.currentIndex().row(), 5);
    ASSERT_EQ(dialogs->texts("error").size(), 1);
    EXPECT_EQ(dialogs->texts("error")[0], "Field 'Text' must have a value");
}

TEST_F(ControlsTest, TypingIntoTheGridEditsTheRowAndAReadOnlyGridTakesNoKeys)
{
    DBGrid grid(source);
    activate(grid);
    clickCell(grid, 2, 1);
    type(QStringLiteral("بيت"));
    EXPECT_EQ(poem.state(), Table::State::Edit);
    press(Qt::Key_Return);
    EXPECT_EQ(poem.recNo(), 3);
    EXPECT_EQ(poem.field("Text").asString(), *codepage::fromUtf8("بيت"));
    poem.post();
    grid.setReadOnly(true);
    clickCell(grid, 1, 1);
    type(QStringLiteral("x"));
    press(Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), &grid) << "an editor opened";
    EXPECT_EQ(poem.state(), Table::State::Browse);
    EXPECT_EQ(poem.field("Text").asString(), "verse 1");
}

TEST_F(ControlsTest, MemoStartsEditingAndKeepsLinesAsCrLf)
{
    DBMemo memo;
    memo.link().bind(&source, "Text");
    EXPECT_EQ(memo.toPlainText(), "verse 4");
    memo.setPlainText(QStringLiteral("سطر\nسطر ثان"));
    EXPECT_EQ(poem.state(), Table::State::Edit);
    poem.post();
    EXPECT_EQ(poem.field("Text").asString(), *codepage::fromUtf8("سطر\r\nسطر ثان"));
    poem.first();
    EXPECT_EQ(memo.toPlainText(), "verse 0");

    memo.link().unbind();
    EXPECT_TRUE(memo.isReadOnly());
}

TEST_F(ControlsTest, ListsShowAndStoreTheirField)
{
    DBComboBox letters;
    letters.addItems({"a", "b"});
    letters.link().bind(&source, "StartLetter");
    poem.first();
    EXPECT_EQ(letters.currentText(), "b");
    emit letters.activated(0);
    EXPECT_EQ(poem.field("StartLetter").asString(), "a");
    poem.cancel();

    DBLookupComboBox author;
    author.setListSource(&authors, "AuthorName");
    author.link().bind(&source, "AuthorID");
    EXPECT_EQ(author.count(), 2);
    EXPECT_EQ(author.currentText(), QStringLiteral("المتنبي"));
    emit author.activated(1);
    EXPECT_EQ(poem.field("AuthorID").asInteger(), 2);
    EXPECT_EQ(poem.field("AuthorName").asString(), *codepage::fromUtf8("المعري"));
}

TEST_F(ControlsTest, NavigatorButtonsFollowTheStateAndDeleteAsksFirst)
{
    ScriptedDialogsScope dialogs;
    DBNavigator nav(source);
    poem.first();
    EXPECT_FALSE(nav.button(DBNavigator::First)->isEnabled());
    EXPECT_TRUE(nav.button(DBNavigator::Next)->isEnabled());
    EXPECT_FALSE(nav.button(DBNavigator::Post)->isEnabled());
    nav.click(DBNavigator::Edit);
    EXPECT_TRUE(nav.button(DBNavigator::Post)->isEnabled());
    EXPECT_FALSE(nav.button(DBNavigator::Edit)->isEnabled());
    nav.click(DBNavigator::Cancel);

    dialogs->answers = {false, true};
    nav.click(DBNavigator::Delete);
    EXPECT_EQ(poem.recordCount(), 5);
    nav.click(DBNavigator::Delete);
    EXPECT_EQ(poem.recordCount(), 4);
    EXPECT_EQ(dialogs->texts("confirm"), QStringList({"Delete record?", "Delete record?"}));

    nav.click(DBNavigator::Refresh);
    EXPECT_EQ(dialogs->texts("error"), QStringList{"Missing data provider or data packet"});
    EXPECT_EQ(poem.recordCount(), 4);

    QString missing;
    QObject::connect(&nav, &DBNavigator::requiredFieldMissing, [&](const QString& f) { missing = f; });
    nav.click(DBNavigator::Insert);
    nav.click(DBNavigator::Post);
    EXPECT_EQ(missing, "Text");
    EXPECT_EQ(poem.state(), Table::State::Insert);
}

TEST(VerseCellTest, FirstLineCutToTheColumn)
{
    const QString hundred = QString(100, QChar(0x0628));
    struct Case {
        QString text;
        int width;
        QString shown;
    } cases[] = {
        {"first\r\nsecond", 50, "first"},
        {"\r\nsecond", 50, ""},
        {hundred, 50, hundred.left(70)},
        {hundred, 40, hundred.left(60)},
        {hundred, 10, hundred.left(30)},
        {QString(80, 'a') + "\r\nb", 50, QString(70, 'a')},
        {"short", 50, "short"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verseCellText(c.text, c.width), c.shown) << c.text.toStdString();
}

TEST(PaintingTest, BackdropCoversTheWindowAndTurnsWhiteFromBand410)
{
    QDialog window;
    window.resize(300, 900);
    window.show();
    QImage image(window.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintBackdrop(painter, window);
    painter.end();
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x3296AAu);
    EXPECT_EQ(image.pixel(299, 201) & 0xFFFFFF, 0x64B7C3u);
    EXPECT_EQ(image.pixel(150, 400) & 0xFFFFFF, 0x96D8DCu);
    EXPECT_EQ(image.pixel(10, 820) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(10, 899) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace

#include "windows/shell/anchors.h"

#include <QApplication>
#include <QSignalSpy>

namespace {

TEST_F(ControlsTest, MovingTheCursorNeverReloadsTheGrid)
{
    DBGrid grid(source);
    QSignalSpy resets(&grid.tableModel(), &QAbstractItemModel::modelReset);
    for (poem.first(); !poem.eof(); poem.next()) {
    }
    poem.setRecNo(2);
    poem.edit();
    poem.field("Text").setAsString("changed");
    poem.post();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid.currentIndex().row(), 1);
}

TEST(AnchorsTest, ControlsKeepTheirDistanceToTheAnchoredEdges)
{
    QWidget parent;
    parent.resize(300, 200);
    auto* stretched = new QWidget(&parent);
    auto* rightBottom = new QWidget(&parent);
    auto* topLeft = new QWidget(&parent);
    for (QWidget* w : {stretched, rightBottom, topLeft})
        w->setGeometry(10, 10, 100, 50);
    anchor(stretched, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge);
    anchor(rightBottom, Qt::RightEdge | Qt::BottomEdge);
    anchor(topLeft, Qt::LeftEdge | Qt::TopEdge);
    parent.show();
    parent.resize(400, 260);
    QApplication::processEvents();
    EXPECT_EQ(stretched->geometry(), QRect(10, 10, 200, 110));
    EXPECT_EQ(rightBottom->geometry(), QRect(110, 70, 100, 50));
    EXPECT_EQ(topLeft->geometry(), QRect(10, 10, 100, 50));
}

}  // namespace

#include <QComboBox>
#include <QLineEdit>

namespace {

// The grid's editors: the author's name is chosen from the authors and its key is stored; a
// one-character field takes one character.
TEST_F(ControlsTest, GridEditorsFitTheirFields)
{
    DBGrid grid(source);
    activate(grid);
    TableModel& model = grid.tableModel();
    const int authorColumn = model.columnOfField("AuthorName");
    clickCell(grid, 1, authorColumn);
    press(Qt::Key_F2);
    auto* names = qobject_cast<QComboBox*>(focused());
    ASSERT_TRUE(names);
    EXPECT_EQ(names->count(), 3);  // no author, and the two authors
    EXPECT_EQ(names->currentText(), QStringLiteral("المعري"));
    press(Qt::Key_Up);
    EXPECT_EQ(poem.state(), Table::State::Edit);
    press(Qt::Key_Return);
    EXPECT_EQ(poem.field("AuthorID").asInteger(), 1);
    EXPECT_EQ(model.index(1, authorColumn).data().toString(), QStringLiteral("المتنبي"));

    clickCell(grid, 0, model.columnOfField("StartLetter"));
    type(QStringLiteral("ab"));
    auto* line = qobject_cast<QLineEdit*>(focused());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text(), "a");
    press(Qt::Key_Return);
    EXPECT_EQ(poem.recNo(), 1);
    EXPECT_EQ(poem.field("StartLetter").asString(), "a");
}

// A screen reader is shown the column titles and the rows in view, not every cell of the table:
// over a large table it would never finish walking them.
TEST_F(ControlsTest, AScreenReaderIsShownTheRowsInViewOnly)
{
    for (int i = 5; i < 20000; ++i)
        poem.appendRecord({Value(), Value("verse " + std::to_string(i)), Value(), Value(1), Value("a")});
    DBGrid grid(source);
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_TRUE(table);
    const int columns = grid.model()->columnCount();
    const int inView = grid.rowAt(grid.viewport()->height() - 1) - grid.rowAt(0) + 1;
    ASSERT_GT(inView, 1);
    EXPECT_EQ(table->childCount(), columns * (1 + inView));
    EXPECT_LT(table->childCount(), 200);

    // The titles first, then the rows in view, each cell read as the grid shows it.
    EXPECT_EQ(table->child(1)->text(QAccessible::Name), grid.model()->headerData(1, Qt::Horizontal).toString());
    EXPECT_EQ(table->child(1)->role(), QAccessible::ColumnHeader);
    QAccessibleInterface* cell = table->child(columns + 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("verse 0"));
    EXPECT_EQ(table->indexOfChild(cell), columns + 1);
    EXPECT_EQ(cell->parent(), table);

    // Scrolled to the end, the reader is shown the last rows.
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    const int last = table->childCount() - columns + 1;  // the text of the last row in view
    EXPECT_EQ(table->child(last)->text(QAccessible::Name), QStringLiteral("verse 19999"));
    EXPECT_LT(table->childCount(), 200);
}

}  // namespace
