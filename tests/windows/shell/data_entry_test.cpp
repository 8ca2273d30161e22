// Data entry through the bound controls as a person does it: clicks on the grid's cells and the
// navigator's buttons, keys typed into the cell editor and the memo, pastes from the clipboard.
#include "person.h"
#include "scripted_dialogs.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "core/text/codepage.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace barqeen;
using namespace barqeen::test;

namespace {

std::string cp(const QString& text)
{
    return codepage::fromUnicodeOrThrow(text);
}

// A window like the authors window: grid (ID, name), navigator, and the notes memo.
class DataEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        authors.addFieldDef({"AuthorID", FieldType::AutoIncrement, 0, false});
        authors.addFieldDef({"AuthorName", FieldType::String, 30, true});
        authors.addFieldDef({"Info", FieldType::Memo, 30, false});
        authors.addIndexDef({"", "AuthorID", true, true});
        authors.createDataSet();
        authors.field("Info").setVisible(false);
    }

    void addAuthors(int count, const QString& info = {})
    {
        for (int i = 1; i <= count; ++i)
            authors.appendRecord({Value(), Value(cp(QStringLiteral("شاعر %1").arg(i))), Value(cp(info))});
    }

    // Builds and shows the window; the table opens on its first row, as on opening a window.
    void open()
    {
        source.setTable(&authors);
        window = std::make_unique<QWidget>();
        window->setLayoutDirection(Qt::RightToLeft);
        auto* layout = new QVBoxLayout(window.get());
        grid = new DBGrid(source, window.get());
        nav = new DBNavigator(source, window.get());
        memo = new DBMemo(window.get());
        memo->link().bind(&source, "Info");
        layout->addWidget(grid);
        layout->addWidget(nav);
        layout->addWidget(memo);
        window->resize(400, 500);
        authors.first();
        activate(*window);
        grid->setFocus();
    }

    QString storedName(int row) const { return codepage::toUnicode(authors.rowAt(row).cells[1].text()); }
    QString storedInfo(int row) const { return codepage::toUnicode(authors.rowAt(row).cells[2].text()); }
    // The open cell editor (a closed one is hidden at once and deleted later).
    QLineEdit* cellEditor() const
    {
        for (QLineEdit* e : grid->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void clickNav(DBNavigator::Button b) { click(nav->button(b)); }

    // Clicks a cell of the name column and types over it.
    void typeName(int row, const QString& text)
    {
        clickCell(*grid, row, 1);
        type(text);
    }

    ScriptedDialogsScope dialogs;
    Table authors{"authors"};
    DataSource source;
    std::unique_ptr<QWidget> window;
    DBGrid* grid = nullptr;
    DBNavigator* nav = nullptr;
    DBMemo* memo = nullptr;
};

TEST_F(DataEntryTest, TypingInTheMemoGoesWhereTheCursorIs)
{
    addAuthors(1, QStringLiteral("xyz"));
    authors.appendRecord({Value(), Value(cp(QStringLiteral("البحتري"))), Value(cp(QStringLiteral("كتب")))});
    authors.appendRecord({Value(), Value(cp(QStringLiteral("بلا نبذة")))});
    open();

    // At the end of an existing note, then in its middle.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->viewport()->rect().center());
    press(Qt::Key_End, Qt::ControlModifier);
    type(QStringLiteral("abc"));
    EXPECT_EQ(memo->toPlainText(), "xyzabc");
    EXPECT_EQ(authors.state(), Table::State::Edit);
    EXPECT_EQ(authors.field("Info").asString(), "xyzabc");
    clickNav(DBNavigator::Next);
    EXPECT_EQ(storedInfo(0), "xyzabc");

    // In the middle of an Arabic note: in a right-to-left line, Left moves on to the next letter.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->viewport()->rect().center());
    press(Qt::Key_Home, Qt::ControlModifier);
    press(Qt::Key_Left);
    type(QStringLiteral("ا"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("كاتب"));
    clickNav(DBNavigator::Next);
    EXPECT_EQ(storedInfo(1), QStringLiteral("كاتب"));

    // An empty note, with Arabic and a second line.
    EXPECT_EQ(memo->toPlainText(), "");
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->viewport()->rect().center());
    type(QStringLiteral("abc"));
    press(Qt::Key_Return);
    type(QStringLiteral("شاعر مقل"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("abc\nشاعر مقل"));
    clickNav(DBNavigator::Post);
    EXPECT_EQ(storedInfo(2), QStringLiteral("abc\r\nشاعر مقل"));
    EXPECT_TRUE(dialogs->shown.empty());
}

// Every navigator button first settles the cell being typed: the moves, insert, delete and post
// take what is in the editor; cancel drops it.
TEST_F(DataEntryTest, NavigatorButtonsSettleTheCellBeingTyped)
{
    struct Case {
        DBNavigator::Button button;
        bool kept;
    } cases[] = {
        {DBNavigator::Post, true},   {DBNavigator::First, true}, {DBNavigator::Prior, true},
        {DBNavigator::Next, true},   {DBNavigator::Last, true},  {DBNavigator::Insert, true},
        {DBNavigator::Cancel, false},
    };
    addAuthors(3);
    open();
    QString before = storedName(1);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(nav->button(c.button)->toolTip().toStdString());
        const QString typed = QStringLiteral("المعري %1").arg(++n);
        typeName(1, typed);
        ASSERT_TRUE(cellEditor());
        clickNav(c.button);
        EXPECT_FALSE(cellEditor()) << "the editor stays open";
        if (authors.state() == Table::State::Insert)
            clickNav(DBNavigator::Cancel);
        EXPECT_EQ(authors.state(), Table::State::Browse);
        EXPECT_EQ(storedName(1), c.kept ? typed : before);
        EXPECT_EQ(grid->model()->index(1, 1).data().toString(), storedName(1));
        before = storedName(1);
    }

    // Delete: the row goes, typed or not, and nothing is asked about the typing.
    dialogs->answers = {true};
    typeName(1, QStringLiteral("يحذف"));
    clickNav(DBNavigator::Delete);
    EXPECT_FALSE(cellEditor());
    EXPECT_EQ(authors.rowCount(), 2);
    EXPECT_EQ(storedName(1), QStringLiteral("شاعر 3"));
    EXPECT_EQ(dialogs->texts("confirm"), QStringList{"Delete record?"});
    EXPECT_TRUE(dialogs->texts("error").isEmpty());
}

TEST_F(DataEntryTest, ANewRowTypedInTheGridIsPostedByTheFirstClickOnPost)
{
    addAuthors(2);
    open();
    clickNav(DBNavigator::Insert);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    type(QStringLiteral("جرير"));
    clickNav(DBNavigator::Post);
    EXPECT_TRUE(dialogs->shown.empty()) << dialogs->shown.front().text.toStdString();
    ASSERT_EQ(authors.rowCount(), 3);
    EXPECT_EQ(storedName(2), QStringLiteral("جرير"));
    EXPECT_EQ(authors.rowAt(2).cells[0].integer(), 3);

    // Changing a name in place and posting stores the new name, not the old.
    typeName(0, QStringLiteral("الفرزدق"));
    clickNav(DBNavigator::Post);
    EXPECT_EQ(storedName(0), QStringLiteral("الفرزدق"));
    EXPECT_EQ(authors.state(), Table::State::Browse);
}

TEST_F(DataEntryTest, InsertThenCancelLeavesTheGridExactlyAsBefore)
{
    for (int count : {2, 40}) {
        SCOPED_TRACE(count);
        authors.close();
        authors.createDataSet();
        addAuthors(count);
        open();
        QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        clickCell(*grid, 1, 1);
        for (bool typed : {false, true}) {
            clickNav(DBNavigator::Insert);
            if (typed)
                type(QStringLiteral("مؤقت"));
            clickNav(DBNavigator::Cancel);
            EXPECT_EQ(grid->model()->rowCount(), count);
            EXPECT_EQ(authors.rowCount(), count);
            EXPECT_EQ(authors.recNo(), 2);
            EXPECT_EQ(grid->currentIndex().row(), 1);
        }
        for (int row = 0; row < count; ++row)
            EXPECT_EQ(grid->model()->index(row, 1).data().toString(), QStringLiteral("شاعر %1").arg(row + 1));
        // The last real row is there and can be chosen.
        grid->scrollToBottom();
        clickCell(*grid, count - 1, 1);
        EXPECT_EQ(authors.recNo(), count);
        EXPECT_EQ(grid->currentIndex().row(), count - 1);
        EXPECT_EQ(authors.field("AuthorName").asString(), cp(QStringLiteral("شاعر %1").arg(count)));
        EXPECT_TRUE(dialogs->shown.empty());
    }
}

TEST_F(DataEntryTest, AKeyOnTheReadOnlyIdCellEditsNothing)
{
    addAuthors(3);
    open();
    clickCell(*grid, 1, 0);
    type(QStringLiteral("9"));
    type(QStringLiteral("ش"));
    EXPECT_FALSE(cellEditor());
    EXPECT_EQ(authors.state(), Table::State::Browse);
    EXPECT_EQ(authors.recNo(), 2);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(storedName(row), QStringLiteral("شاعر %1").arg(row + 1));
}

// A character the code page cannot hold stays in the editor for correction, the message names
// it, and nothing is stored until it is gone.
TEST_F(DataEntryTest, ARefusedCharacterStaysInTheCellEditorUntilCorrected)
{
    for (const QString& bad : {QStringLiteral("😀"), QStringLiteral("ж")}) {
        SCOPED_TRACE(bad.toStdString());
        authors.close();
        authors.createDataSet();
        addAuthors(2);
        dialogs->shown.clear();
        open();
        typeName(0, QStringLiteral("غزل") + bad);
        ASSERT_EQ(dialogs->texts("message").size(), 1);
        EXPECT_TRUE(dialogs->texts("message")[0].contains(bad));
        press(Qt::Key_Return);
        press(Qt::Key_PageDown);
        clickNav(DBNavigator::Post);
        clickCell(*grid, 1, 1);
        ASSERT_TRUE(cellEditor()) << "the typed text was thrown away";
        EXPECT_EQ(cellEditor()->text(), QStringLiteral("غزل") + bad);
        EXPECT_EQ(storedName(0), QStringLiteral("شاعر 1"));
        EXPECT_EQ(authors.recNo(), 1);
        for (const QString& shown : dialogs->texts("message"))
            EXPECT_TRUE(shown.contains(bad)) << shown.toStdString();
        EXPECT_TRUE(dialogs->texts("error").isEmpty());

        press(Qt::Key_Backspace);
        clickNav(DBNavigator::Post);
        EXPECT_FALSE(cellEditor());
        EXPECT_EQ(storedName(0), QStringLiteral("غزل"));
        EXPECT_EQ(authors.state(), Table::State::Browse);
    }
}

TEST_F(DataEntryTest, ARefusedPasteStaysInTheMemoUntilCorrected)
{
    addAuthors(2, QStringLiteral("قديم"));
    open();
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->viewport()->rect().center());
    press(Qt::Key_End, Qt::ControlModifier);
    paste(QStringLiteral(" شاعر 😀 جاهلي"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("قديم شاعر 😀 جاهلي"));
    ASSERT_EQ(dialogs->texts("message").size(), 1);
    EXPECT_TRUE(dialogs->texts("message")[0].contains(QStringLiteral("😀")));

    // Neither posting nor moving away takes the note while it holds the character.
    clickNav(DBNavigator::Post);
    clickNav(DBNavigator::Next);
    clickCell(*grid, 1, 1);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("قديم شاعر 😀 جاهلي"));
    EXPECT_EQ(authors.recNo(), 1);
    EXPECT_EQ(storedInfo(0), QStringLiteral("قديم"));
    EXPECT_GE(dialogs->texts("message").size(), 2);

    // The refusal selected the character: typing replaces it.
    type(QStringLiteral("ك"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("قديم شاعر ك جاهلي"));
    clickNav(DBNavigator::Post);
    EXPECT_EQ(storedInfo(0), QStringLiteral("قديم شاعر ك جاهلي"));
    EXPECT_TRUE(dialogs->texts("error").isEmpty());

    // Cancel drops a refused text and shows the stored note again.
    paste(QStringLiteral("😀"));
    clickNav(DBNavigator::Cancel);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("قديم شاعر ك جاهلي"));
    clickNav(DBNavigator::Next);
    EXPECT_EQ(authors.recNo(), 2);
}

TEST_F(DataEntryTest, CtrlVOnACellOpensItsEditorWithTheClipboardText)
{
    addAuthors(2);
    open();
    clickCell(*grid, 1, 1);
    paste(QStringLiteral("أبو تمام"));
    ASSERT_TRUE(cellEditor());
    EXPECT_EQ(cellEditor()->text(), QStringLiteral("أبو تمام"));
    EXPECT_EQ(authors.state(), Table::State::Edit);
    press(Qt::Key_Return);
    EXPECT_EQ(authors.field("AuthorName").asString(), cp(QStringLiteral("أبو تمام")));
    clickNav(DBNavigator::Post);
    EXPECT_EQ(storedName(1), QStringLiteral("أبو تمام"));

    // Not on the read-only ID cell.
    clickCell(*grid, 0, 0);
    paste(QStringLiteral("77"));
    EXPECT_FALSE(cellEditor());
    EXPECT_EQ(authors.state(), Table::State::Browse);
}

TEST_F(DataEntryTest, EscDropsTheCellBeingTyped)
{
    addAuthors(1);
    open();
    typeName(0, QStringLiteral("ابن الرومي"));
    press(Qt::Key_Escape);
    EXPECT_FALSE(cellEditor());
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("شاعر 1"));
    clickNav(DBNavigator::Next);
    EXPECT_EQ(storedName(0), QStringLiteral("شاعر 1"));
    EXPECT_EQ(authors.state(), Table::State::Browse);
}

}  // namespace

namespace {

// A verse typed into a required memo and erased again is a verse never typed.
TEST(RequiredMemoEntryTest, ErasedTextIsNoValue)
{
    ScriptedDialogsScope dialogs;
    Table verses("verses");
    verses.addFieldDef({"TextID", FieldType::AutoIncrement, 0, false});
    verses.addFieldDef({"Text", FieldType::Memo, 70, true});
    verses.addIndexDef({"", "TextID", true, true});
    verses.createDataSet();
    verses.field("Text").setDisplayLabel("نص الشعر");
    DataSource source;
    source.setTable(&verses);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* nav = new DBNavigator(source, &window);
    auto* memo = new DBMemo(&window);
    memo->link().bind(&source, "Text");
    layout->addWidget(nav);
    layout->addWidget(memo);
    activate(window);

    click(nav->button(DBNavigator::Insert));
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->viewport()->rect().center());
    type(QStringLiteral("بيت"));
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Backspace);
    EXPECT_EQ(memo->toPlainText(), "");
    click(nav->button(DBNavigator::Post));
    EXPECT_EQ(dialogs->texts("error"), QStringList{QStringLiteral("Field 'نص الشعر' must have a value")});
    EXPECT_EQ(verses.state(), Table::State::Insert);
    EXPECT_EQ(verses.rowCount(), 0);
}

}  // namespace
