// The recorded-verses window: its look, its verse cells, its context menu (right button and menu
// key) and its life beside the other windows.
#include "records_fixture.h"
#include "windows/shell/painting.h"

#include <QAction>
#include <QScrollBar>
#include <QToolButton>
#include <QApplication>
#include <QTimer>

using namespace barqeen;
using namespace barqeen::test;

namespace {

const QDateTime kEvening(QDate(2026, 3, 1), QTime(20, 5, 9));

class PlayerPoemTest : public RecordsFixture {
protected:
    // Opens the history and double-clicks the game in the given row; the history then closes.
    TfmPlayerPoem& showGame(int row)
    {
        openHistory([&](TfmHistory& h) { doubleClickCell(*h.DBGrid1, row, 1); });
        EXPECT_TRUE(playerPoem().isVisible());
        activate(playerPoem());
        return playerPoem();
    }

    QImage textCell(TfmPlayerPoem& w, int row)
    {
        const QRect cell = w.DBGrid1->visualRect(w.DBGrid1->model()->index(row, 2));
        return w.DBGrid1->viewport()->grab(cell).toImage();
    }

    // Stores another text in the player verse at the row (as no person can: the table itself).
    void storeText(int row, const QString& text)
    {
        Table& t = main().cdsPlayerPoem();
        t.setRecNo(row + 1);
        t.edit();
        t.field("Text").setAsString(cp(text));
        t.post();
    }

    // A click that goes through the window, as the platform delivers it: the window turns a
    // right click into its context menu notice, and a window that a modal one blocks gets nothing.
    static void clickThroughWindow(QWidget* control, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QWidget* window = control->window();
        QTest::mouseClick(window->windowHandle(), button, {}, control->mapTo(window, at));
    }
    // Opens the menu with the right button on a row.
    static void rightClick(TfmPlayerPoem& w, int row)
    {
        clickThroughWindow(w.DBGrid1->viewport(), cellCentre(*w.DBGrid1, row, 2), Qt::RightButton);
    }
    static void choose(TfmPlayerPoem& w, QAction* item)
    {
        ASSERT_TRUE(w.PopupMenu1->isVisible()) << "the menu is not open";
        QTest::mouseClick(w.PopupMenu1, Qt::LeftButton, {}, w.PopupMenu1->actionGeometry(item).center());
        EXPECT_FALSE(w.PopupMenu1->isVisible());
    }
};

TEST_F(PlayerPoemTest, LaidOutAsDesigned)
{
    const LocaleScope british(QLocale(QLocale::English, QLocale::UnitedKingdom));
    record({{QStringLiteral("عبد الرحمن بن عبد الله"), kEvening, {kBalaghna, kIdha}}});
    TfmPlayerPoem& w = showGame(0);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("شعر مسجل"));
    EXPECT_EQ(w.StaticText1->text(), QStringLiteral("شعر مسجل"));
    EXPECT_EQ(w.size(), QSize(536, 348));
    EXPECT_EQ(w.pos(), QPoint(151, 85));
    EXPECT_EQ(w.windowModality(), Qt::NonModal);
    EXPECT_EQ(w.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(w.Panel1->geometry(), QRect(0, 0, 536, 52));
    EXPECT_EQ(w.DBGrid1->geometry(), QRect(10, 61, 513, 273));
    EXPECT_EQ(w.DBGrid1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(w.DBGrid1->palette().color(QPalette::Base), QColor(0xC6, 0xE8, 0xE0));
    EXPECT_EQ(w.laPlayer->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(w.laDate->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(w.laDate->text(), "01/03/2026 20:05:09");
    // The name keeps the right edge it was laid out with (336 + the width of "الاعب"), and the
    // date stays to its left, both whole.
    const int nameRight = 336 + w.laPlayer->fontMetrics().horizontalAdvance(QStringLiteral("الاعب"));
    EXPECT_NEAR(w.laPlayer->geometry().right() + 1, nameRight, 2);
    EXPECT_LT(w.laDate->geometry().right(), w.laPlayer->geometry().left());
    EXPECT_GE(w.laPlayer->width(), w.laPlayer->fontMetrics().horizontalAdvance(w.laPlayer->text()));
    EXPECT_GE(w.laDate->width(), w.laDate->fontMetrics().horizontalAdvance(w.laDate->text()));
    EXPECT_GT(w.laDate->x(), 0);
    QStringList items;
    for (QAction* a : w.PopupMenu1->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"إضافة إلى جدول الشعر", "حذف"}));

    // A row that is not current shows the grid's background under its verse.
    clickCell(*w.DBGrid1, 0, 0);
    const QImage second = textCell(w, 1);
    EXPECT_EQ(second.pixelColor(second.width() / 20, second.height() - 2), QColor(0xC6, 0xE8, 0xE0));

    // Wider, the grid grows, and the strip keeps its texts at the right.
    const int titleGap = w.width() - w.StaticText1->geometry().right();
    const int nameGap = w.width() - w.laPlayer->geometry().right();
    w.resize(800, 500);
    EXPECT_EQ(w.DBGrid1->geometry(), QRect(10, 61, 777, 425));
    EXPECT_EQ(w.width() - w.StaticText1->geometry().right(), titleGap);
    EXPECT_EQ(w.width() - w.laPlayer->geometry().right(), nameGap);

    // The backdrop is the shared gradient.
    const QImage picture = w.grab().toImage();
    EXPECT_EQ(picture.pixelColor(3, 340), backdropBandColor(170));
    w.close();
}

TEST_F(PlayerPoemTest, AVerseCellShowsItsFirstLineCutToSixtyCharacters)
{
    const QString line = QStringLiteral("قفا نبك من ذكرى حبيب ومنزل بسقط اللوى بين الدخول فحومل ");
    const QString hundred = (line + line).left(100);
    ASSERT_EQ(hundred.size(), 100);
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna}}});
    TfmPlayerPoem& w = showGame(0);
    w.resize(1000, 348);  // room for more than sixty characters
    const auto cellWith = [&](const QString& text) {
        storeText(0, text);
        return textCell(w, 0);
    };
    const struct {
        const char* what;
        QString stored, shownAs;
    } same[] = {
        {"two lines", kBalaghna + "\r\n" + kIdha, kBalaghna},
        {"a first line that is empty", "\r\n" + kIdha, " "},
        {"a hundred characters", hundred, hundred.left(60)},
        {"a line break after the sixtieth character", hundred.left(70) + "\r\n" + kIdha, hundred.left(60)},
    };
    for (const auto& c : same)
        EXPECT_EQ(cellWith(c.stored), cellWith(c.shownAs)) << c.what;
    // The sixtieth character is still seen: the cut is the rule's, not the column's.
    ASSERT_NE(hundred.at(59), QLatin1Char(' '));
    EXPECT_NE(cellWith(hundred.left(60)), cellWith(hundred.left(59)));
    w.close();
}

TEST_F(PlayerPoemTest, TheContextMenuDeletesTheVerseOnlyOnYes)
{
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna, kBanaytu, kIdha}},
            {QStringLiteral("سعاد"), kEvening, {kRaaytu}}});
    TfmPlayerPoem& w = showGame(0);

    // The right button on a verse makes it current and opens the menu; No keeps it.
    rightClick(w, 1);
    EXPECT_EQ(main().cdsPlayerPoem().recNo(), 2);
    dialogs->answers = {false};
    choose(w, w.N2);
    EXPECT_EQ(dialogs->texts("confirm"), QStringList{"هل تريد حذف البيت الحالي"});
    EXPECT_EQ(columnTexts(*w.DBGrid1, 2), (QStringList{kBalaghna, kBanaytu, kIdha}));

    // The menu key opens it too, beside the current verse; chosen with the keys, Yes deletes.
    QTest::keyClick(w.DBGrid1, Qt::Key_Menu);
    ASSERT_TRUE(w.PopupMenu1->isVisible());
    const QPoint current = w.DBGrid1->viewport()->mapToGlobal(w.DBGrid1->visualRect(w.DBGrid1->currentIndex()).center());
    EXPECT_EQ(w.PopupMenu1->geometry().topRight(), current) << "opens leftwards from the current cell";
    dialogs->answers = {true};
    QTest::keyClick(w.PopupMenu1, Qt::Key_Down);
    QTest::keyClick(w.PopupMenu1, Qt::Key_Down);
    QTest::keyClick(w.PopupMenu1, Qt::Key_Return);
    EXPECT_EQ(dialogs->texts("confirm").size(), 2);
    EXPECT_EQ(columnTexts(*w.DBGrid1, 2), (QStringList{kBalaghna, kIdha}));
    w.close();

    // Stored at once; the other game's verse is untouched; the game opened again lists two.
    std::vector<std::string> stored;
    for (const PlayerPoemRow& r : OnDisk(dir).playerPoems())
        stored.push_back(r.text);
    EXPECT_EQ(stored, (std::vector<std::string>{cp(kBalaghna), cp(kIdha), cp(kRaaytu)}));
    showGame(0);
    EXPECT_EQ(columnTexts(*w.DBGrid1, 2), (QStringList{kBalaghna, kIdha}));

    // With nothing left, there is nothing to delete.
    for (int i = 0; i < 2; ++i) {
        rightClick(w, 0);
        dialogs->answers = {true};
        choose(w, w.N2);
    }
    EXPECT_EQ(w.DBGrid1->model()->rowCount(), 0);
    clickThroughWindow(w.DBGrid1->viewport(), {50, 50}, Qt::RightButton);
    ASSERT_TRUE(w.PopupMenu1->isVisible());
    EXPECT_FALSE(w.N2->isEnabled());
    EXPECT_TRUE(w.N1->isEnabled());
    w.PopupMenu1->close();
    w.N2Click();
    EXPECT_EQ(dialogs->texts("confirm").size(), 4) << "no question without a verse";
    EXPECT_EQ(OnDisk(dir).playerPoems().size(), 1u);
    w.close();
}

// A right click picks the verse under the pointer without scrolling sideways: the ID column the
// user was reading stays in view.
TEST_F(PlayerPoemTest, ARightClickPicksTheRowWithoutScrollingSideways)
{
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna, kIdha, kBanaytu}}});
    TfmPlayerPoem& w = showGame(0);
    w.resize(300, 348);  // the verse column is wider than the grid
    QScrollBar* sideways = w.DBGrid1->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), sideways->minimum());
    const int before = sideways->value();
    const int idRight = w.DBGrid1->columnViewportPosition(0) + w.DBGrid1->columnWidth(0);
    ASSERT_LE(idRight, w.DBGrid1->viewport()->width()) << "the ID column is in view";
    QPoint at = cellCentre(*w.DBGrid1, 2, 2);
    at.setX(std::clamp(at.x(), 5, w.DBGrid1->viewport()->width() - 5));  // on the visible part of the cell
    clickThroughWindow(w.DBGrid1->viewport(), at, Qt::RightButton);
    // The view scrolls to a clicked cell a moment after the press, once no double click can come.
    QTest::qWait(QApplication::doubleClickInterval() + 300);
    EXPECT_EQ(main().cdsPlayerPoem().recNo(), 3);
    EXPECT_EQ(sideways->value(), before);
    EXPECT_EQ(w.DBGrid1->columnViewportPosition(0) + w.DBGrid1->columnWidth(0), idRight);
    w.PopupMenu1->close();
    w.close();
}

TEST_F(PlayerPoemTest, StaysUsableBesideTheHistoryAndKeepsItsGame)
{
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna, kIdha}}, {QStringLiteral("سعاد"), kEvening, {kRaaytu}}});
    TfmPlayerPoem& w = playerPoem();
    bool ran = false;
    dialogs->onModal = [&](QDialog& d) {
        auto& h = dynamic_cast<TfmHistory&>(d);
        QTimer::singleShot(0, &h, [&] {
            ran = true;
            doubleClickCell(*h.DBGrid1, 0, 1);
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(main().cdsPlayerPoem().recNo(), 1);
            clickThroughWindow(w.DBGrid1->viewport(), cellCentre(*w.DBGrid1, 1, 2));
            EXPECT_EQ(main().cdsPlayerPoem().recNo(), 2) << "the recorded verses took the click";
            clickThroughWindow(main().imHistory, {20, 20});  // the main window waits for the history
            h.reject();
        });
        return h.exec();
    };
    QTest::mouseClick(main().imHistory, Qt::LeftButton);
    dialogs->onModal = nullptr;
    ASSERT_TRUE(ran);
    EXPECT_FALSE(history().isVisible());

    // The history has closed; the verses stay, and a new game does not change what they show.
    ASSERT_TRUE(w.isVisible());
    dialogs->answers = {true};  // gives up
    pressGame(QStringLiteral("زيد"), QStringLiteral("أ"), [&](TfmGame& g) {
        send(g, kBalaghna);
        QTest::mouseClick(g.bbGiveup, Qt::LeftButton);
    });
    EXPECT_EQ(OnDisk(dir).playerPoems().size(), 4u);
    EXPECT_EQ(columnTexts(*w.DBGrid1, 2), (QStringList{kBalaghna, kIdha}));
    EXPECT_EQ(w.laPlayer->text(), "محمد");
    w.close();
}

TEST_F(PlayerPoemTest, ClosingTheProgramClosesItAndLosesNothing)
{
    main().show();  // as the program shows it at start
    record({{QStringLiteral("محمد"), kEvening, {kBalaghna, kIdha}}});
    TfmPlayerPoem& w = showGame(0);
    rightClick(w, 0);
    dialogs->answers = {true};
    choose(w, w.N2);

    // A close that the main window refuses (the user goes back to a verse not yet stored)
    // leaves the verses open; the close that goes through closes them too.
    Table& poems = main().cdsPoem();
    poems.append();
    poems.field("Text").setAsString(cp(kBanaytu));
    dialogs->answers = {true};
    QTest::mouseClick(main().sbClose, Qt::LeftButton);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(w.isVisible());
    dialogs->answers = {false};
    QTest::mouseClick(main().sbClose, Qt::LeftButton);
    EXPECT_TRUE(dialogs->answers.empty());
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(main().isVisible());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->isVisible()) << top->windowTitle().toStdString();
    EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
    program.reset();

    const std::vector<PlayerPoemRow> stored = OnDisk(dir).playerPoems();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].text, cp(kIdha));
    EXPECT_EQ(OnDisk(dir).history().size(), 1u);
}

}  // namespace
