// A recorded verse copied into the verse table through the verse window, and a whole round:
// a verse the player said becomes one the computer says.
#include "records_fixture.h"
#include "windows/editing/poem_edit.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_navigator.h"

#include <QComboBox>
#include <QToolButton>

using namespace barqeen;
using namespace barqeen::test;

namespace {

const QDateTime kEvening(QDate(2026, 3, 1), QTime(20, 5, 9));

class RecordsCopyTest : public RecordsFixture {
protected:
    TfmPoemEdit& poemEdit() { return *program->fmPoemEdit; }

    // Right-clicks the verse in the row and chooses the copy; actions run in the verse window.
    void copyVerse(int row, const std::function<void(TfmPoemEdit&)>& actions)
    {
        TfmPlayerPoem& w = playerPoem();
        activate(w);
        bool opened = false;
        dialogs->onModal = [&](QDialog& d) {
            auto* e = dynamic_cast<TfmPoemEdit*>(&d);
            EXPECT_NE(e, nullptr) << "an unexpected modal window";
            if (!e)
                return int(QDialog::Rejected);
            opened = true;
            activate(*e);
            actions(*e);
            e->hide();
            return int(QDialog::Rejected);
        };
        if (w.DBGrid1->model()->rowCount() > row)
            QTest::mouseClick(w.windowHandle(), Qt::RightButton, {},
                              w.DBGrid1->viewport()->mapTo(&w, cellCentre(*w.DBGrid1, row, 2)));
        else
            QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, w.DBGrid1->viewport()->mapTo(&w, QPoint(40, 40)));
        ASSERT_TRUE(w.PopupMenu1->isVisible());
        QTest::mouseClick(w.PopupMenu1, Qt::LeftButton, {}, w.PopupMenu1->actionGeometry(w.N1).center());
        dialogs->onModal = nullptr;
        EXPECT_TRUE(opened) << "the verse window did not open";
    }

    // The player types the verse (pasted) and sends it.
    static void say(TfmGame& g, const QString& verse)
    {
        activate(g);
        QTest::mouseClick(g.mePlayer->viewport(), Qt::LeftButton);
        paste(verse);
        click(g.bbSend);
    }

    static QString memoText(TfmPoemEdit& e) { return e.DBMemo1->toPlainText(); }
};

// The copy's verse window closes over the history window, which is modal to the main window:
// the recorded verses come back in front of it, and take clicks at once.
TEST_F(RecordsCopyTest, AfterTheCopyTheRecordedVersesAreInFrontAgain)
{
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna, kBanaytu}}});
    openHistory([&](TfmHistory& h) {
        doubleClickCell(*h.DBGrid1, 0, 1);
        copyVerse(0, [&](TfmPoemEdit& e) {
            click(e.DBNavigator1->button(DBNavigator::Cancel));
            activate(h);  // the activation goes back to the main window's side first
        });
        TfmPlayerPoem& w = playerPoem();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {},
                          w.DBGrid1->viewport()->mapTo(&w, cellCentre(*w.DBGrid1, 1, 2)));
        EXPECT_EQ(main().cdsPlayerPoem().recNo(), 2);
    });
    playerPoem().close();
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
}

TEST_F(RecordsCopyTest, TheCopyIsANewVerseOfTheWholeTableInTheVerseWindow)
{
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna + "\r\n" + kIdha, kBanaytu}}, {QStringLiteral("سعاد"), kEvening, {}}});
    Table& poems = main().cdsPoem();
    // A game left the verse table on one letter.
    poems.setFilterText(cp(QStringLiteral("StartLetter = 'ل'")));
    poems.setFiltered(true);
    ASSERT_EQ(poems.recordCount(), 1);

    openHistory([&](TfmHistory& h) { doubleClickCell(*h.DBGrid1, 0, 1); });
    copyVerse(1, [&](TfmPoemEdit& e) {
        EXPECT_FALSE(poems.filtered());
        EXPECT_EQ(poems.filterText(), cp(QStringLiteral("StartLetter = 'ل'")));
        EXPECT_EQ(poems.state(), Table::State::Insert);
        EXPECT_EQ(e.DBGrid1->model()->rowCount(), 5) << "every verse, and the new one";
        EXPECT_EQ(memoText(e), kBanaytu);
        click(e.DBNavigator1->button(DBNavigator::Cancel));
    });
    EXPECT_EQ(poems.recordCount(), 4);

    // Exactly as stored, both lines.
    copyVerse(0, [&](TfmPoemEdit& e) {
        EXPECT_EQ(memoText(e), kBalaghna + "\n" + kIdha);
        EXPECT_EQ(poems.field("Text").asString(), cp(kBalaghna + "\r\n" + kIdha));
        click(e.DBNavigator1->button(DBNavigator::Cancel));
    });

    // A game with no verse: the new verse starts empty.
    openHistory([&](TfmHistory& h) { doubleClickCell(*h.DBGrid1, 1, 1); });
    copyVerse(0, [&](TfmPoemEdit& e) {
        EXPECT_EQ(poems.state(), Table::State::Insert);
        EXPECT_EQ(memoText(e), "");
        click(e.DBNavigator1->button(DBNavigator::Cancel));
    });
    EXPECT_EQ(poems.recordCount(), 4);
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
    playerPoem().close();
}

TEST_F(RecordsCopyTest, AVerseThePlayerSaidIsCopiedAndThenSaidByTheComputer)
{
    // The verse table: أ -> ب, ر -> ب, ل -> أ; no verse begins with ب.
    Table& poems = main().cdsPoem();
    ASSERT_TRUE(poems.locate("Text", Value(cp(kBakaytu))));
    poems.remove();
    main().cdsAuthors().appendRecord({Value(), Value(cp(QStringLiteral("المتنبي")))});

    // First game: the computer opens with ر and ends on ب; the player answers with a verse the
    // table does not have, ending on ر, which the computer has already said: it is defeated.
    pressGame(QStringLiteral("محمد"), QStringLiteral("ر"), [&](TfmGame& g) {
        EXPECT_TRUE(g.meComputer->toPlainText().contains(kRaaytu));
        say(g, kBalaghna);
    });
    EXPECT_TRUE(takeShown().contains(QStringLiteral("message|يبدو أني هزمت")));

    // The history, the game's verses, the copy completed and posted.
    openHistory([&](TfmHistory& h) { doubleClickCell(*h.DBGrid1, 0, 1); });
    EXPECT_EQ(columnTexts(*playerPoem().DBGrid1, 2), QStringList{kBalaghna});
    copyVerse(0, [&](TfmPoemEdit& e) {
        EXPECT_EQ(memoText(e), kBalaghna);
        pick(e.DBComboBox2, QStringLiteral("ب"));
        pick(e.DBComboBox1, QStringLiteral("ر"));
        const int newRow = e.DBGrid1->model()->rowCount() - 1;
        const int authorColumn = e.DBGrid1->tableModel().columnOfField("AuthorName");
        doubleClickCell(*e.DBGrid1, newRow, authorColumn);
        auto* editor = e.DBGrid1->findChild<QComboBox*>();
        ASSERT_TRUE(editor && editor->isVisible());
        pick(editor, QStringLiteral("المتنبي"));
        press(Qt::Key_Return);
        click(e.DBNavigator1->button(DBNavigator::Post));
        EXPECT_EQ(poems.state(), Table::State::Browse);
    });
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
    ASSERT_TRUE(poems.locate("Text", Value(cp(kBalaghna))));
    EXPECT_EQ(poems.field("StartLetter").asString(), cp(QStringLiteral("ب")));
    EXPECT_EQ(poems.field("EndLetter").asString(), cp(QStringLiteral("ر")));
    EXPECT_EQ(poems.field("AuthorName").asString(), cp(QStringLiteral("المتنبي")));

    // Second game: the computer opens with ل and ends on أ; the player answers with a verse
    // ending on ب, and the computer's only verse for ب is the copied one.
    dialogs->answers = {true};  // gives up after it
    pressGame(QStringLiteral("سعاد"), QStringLiteral("ل"), [&](TfmGame& g) {
        EXPECT_TRUE(g.meComputer->toPlainText().contains(kLaqad));
        say(g, kAlaLayta);
        EXPECT_EQ(g.meComputer->toPlainText().trimmed(), kBalaghna);
        EXPECT_EQ(g.stLetter->text(), QStringLiteral("ر"));
        click(g.bbGiveup);
    });
    EXPECT_TRUE(dialogs->answers.empty());
    const std::vector<HistoryRow> games = OnDisk(dir).history();
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[1].rounds, 2);
    playerPoem().close();
}

}  // namespace
