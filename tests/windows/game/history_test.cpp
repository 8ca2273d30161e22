// The history window and how it opens the recorded verses of a game, driven with the mouse.
#include "reading_order.h"
#include "records_fixture.h"

#include <QApplication>

using namespace barqeen;
using namespace barqeen::test;

namespace {

using HistoryTest = RecordsFixture;

// The column lies whole inside the grid, no part of it scrolled out of view.
bool wholeInView(DBGrid& grid, int column)
{
    const QHeaderView* header = grid.horizontalHeader();
    const int at = header->sectionViewportPosition(column);
    return at >= 0 && at + header->sectionSize(column) <= grid.viewport()->width();
}

const QDateTime kFirstOfMarch(QDate(2026, 3, 1), QTime(20, 5, 9));
const QDateTime kSecondOfMarch(QDate(2026, 3, 2), QTime(9, 15, 0));
const QDateTime kThirdOfMarch(QDate(2026, 3, 3), QTime(23, 59, 58));

TEST_F(HistoryTest, ListsTheGamesUnderTheirTitlesAsLaidOut)
{
    record({{QStringLiteral("محمد"), kFirstOfMarch, {kBalaghna}}, {QStringLiteral("سعاد"), kSecondOfMarch, {}}});
    // The titles are set at every opening, whatever a field was labelled before.
    main().cdsHistory().field("PlayerName").setDisplayLabel("PlayerName");
    main().cdsPlayerPoem().field("Text").setDisplayLabel("Text");

    bool opened = false;
    openHistory([&](TfmHistory& h) {
        opened = true;
        EXPECT_EQ(h.windowTitle(), QStringLiteral("سجل المطارحة"));
        EXPECT_EQ(h.StaticText1->text(), QStringLiteral("سجل المطارحة"));
        EXPECT_EQ(h.size(), QSize(536, 330));
        EXPECT_EQ(h.pos(), QPoint(151, 85));
        EXPECT_LT(h.minimumSize().width(), h.maximumSize().width()) << "the window is resizable";
        EXPECT_EQ(h.Panel1->geometry(), QRect(0, 0, 536, 52));
        EXPECT_EQ(h.DBGrid1->geometry(), QRect(12, 55, 513, 268));
        EXPECT_EQ(h.DBGrid1->palette().color(QPalette::Base), QColor(0xC8, 0xE8, 0xE4));
        EXPECT_EQ(titles(*h.DBGrid1), (QStringList{"رقم متسلسل", "إسم المتسابق", "وقت المسابقة",
                                                   "زمن المسابقة بالدقائق", "عدد الجولات", "النهاية"}));
        EXPECT_EQ(columnTexts(*h.DBGrid1, 1), (QStringList{"محمد", "سعاد"}));
        EXPECT_EQ(columnTexts(*h.DBGrid1, 4), (QStringList{"2", "1"}));  // rounds
        EXPECT_EQ(columnTexts(*h.DBGrid1, 5), (QStringList{"2", "2"}));  // the end, as its number

        // Each column shows its title and its values whole.
        const QFontMetrics metrics = h.DBGrid1->fontMetrics();
        const QFontMetrics titleMetrics = h.DBGrid1->horizontalHeader()->fontMetrics();
        for (int c = 0; c < h.DBGrid1->model()->columnCount(); ++c) {
            int widest = titleMetrics.horizontalAdvance(titles(*h.DBGrid1).at(c));
            for (const QString& text : columnTexts(*h.DBGrid1, c))
                widest = std::max(widest, metrics.horizontalAdvance(text));
            EXPECT_GT(h.DBGrid1->columnWidth(c), widest) << "column " << c;
            EXPECT_TRUE(wholeInView(*h.DBGrid1, c)) << "column " << c << " at the window's own size";
        }

        // The grid grows with the window, the title stays at the right.
        const int titleGap = h.width() - h.StaticText1->geometry().right();
        h.resize(700, 500);
        EXPECT_EQ(h.DBGrid1->geometry(), QRect(12, 55, 677, 438));
        EXPECT_EQ(h.Panel1->width(), 700);
        EXPECT_EQ(h.width() - h.StaticText1->geometry().right(), titleGap);
        h.resize(536, 330);
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(main().cdsPlayerPoem().field("Text").displayLabel(), "نص البيت");
    EXPECT_EQ(main().cdsPlayerPoem().field("GameID").displayLabel(), "رقم المطارحة");
    EXPECT_EQ(main().cdsPlayerPoem().field("TextID").displayLabel(), "رقم متسلسل");
}

// The date and time reads in its own order, one left-to-right unit inside the right-to-left grid,
// and no title is cut, the last one («النهاية») included, however wide the window.
TEST_F(HistoryTest, TheDateReadsInItsOwnOrderAndNoTitleIsCut)
{
    const LocaleScope american(QLocale(QLocale::English, QLocale::UnitedStates));
    record({{QStringLiteral("عبد الرحمن بن محمد"), kFirstOfMarch, {kBalaghna}}});
    openHistory([&](TfmHistory& h) {
        DBGrid& grid = *h.DBGrid1;
        const QModelIndex date = grid.model()->index(0, 2);
        const QString written = date.data().toString();
        ASSERT_FALSE(written.isEmpty());
        EXPECT_TRUE(partReadsLeftToRight(grid.shownText(date), written, grid.font())) << written.toStdString();

        QHeaderView* header = grid.horizontalHeader();
        for (const int width : {536, 380, 900}) {
            h.resize(width, 330);
            int total = 0;
            for (int c = 0; c < grid.model()->columnCount(); ++c) {
                EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << "column " << c << " at " << width;
                total += header->sectionSize(c);
            }
            EXPECT_GE(total, grid.viewport()->width()) << "the columns fill the grid at " << width;
            // From the window's own size up, every title shows whole without a scroll; «النهاية»,
            // the last, too.
            for (int c = 0; width >= 536 && c < grid.model()->columnCount(); ++c)
                EXPECT_TRUE(wholeInView(grid, c)) << "column " << c << " at " << width;
        }
        h.resize(536, 330);
    });
    playerPoem().close();
}

TEST_F(HistoryTest, TheGridCannotBeEdited)
{
    record({{QStringLiteral("محمد"), kFirstOfMarch, {}}});
    openHistory([&](TfmHistory& h) {
        clickCell(*h.DBGrid1, 0, 1);
        QTest::keyClicks(h.DBGrid1, QStringLiteral("abc"));
        QTest::keyClick(h.DBGrid1, Qt::Key_F2);
        QTest::keyClick(h.DBGrid1, Qt::Key_Delete);
        EXPECT_EQ(main().cdsHistory().state(), Table::State::Browse);
        EXPECT_EQ(QApplication::focusWidget(), h.DBGrid1) << "no cell editor opened";
        EXPECT_EQ(columnTexts(*h.DBGrid1, 1), QStringList{"محمد"});
        playerPoem().close();
    });
    EXPECT_EQ(OnDisk(dir).history().at(0).name, cp(QStringLiteral("محمد")));
}

// A game is opened by a double-click on its row or on the title row, or from the keyboard alone:
// the arrows to its row, then Return.
TEST_F(HistoryTest, DoubleClickShowsTheChosenGamesVersesBesideIt)
{
    const LocaleScope british(QLocale(QLocale::English, QLocale::UnitedKingdom));
    record({{QStringLiteral("محمد"), kFirstOfMarch, {kBalaghna, kIdha}},
            {QStringLiteral("سعاد"), kSecondOfMarch, {kBanaytu}},
            {QStringLiteral("زيد"), kThirdOfMarch, {}}});
    enum class How { Cell, Titles, Keys };  // Titles: a click on the row, then a double-click on the titles
    const struct {
        int row;
        How how;
        QStringList verses;
        QString player, date;
        QString filter;
    } cases[] = {
        {1, How::Cell, {kBanaytu}, "سعاد", "02/03/2026 09:15:00", "GameID = 2"},
        {0, How::Titles, {kBalaghna, kIdha}, "محمد", "01/03/2026 20:05:09", "GameID = 1"},
        {2, How::Keys, {}, "زيد", "03/03/2026 23:59:58", "GameID = 3"},
        {0, How::Keys, {kBalaghna, kIdha}, "محمد", "01/03/2026 20:05:09", "GameID = 1"},
        {2, How::Cell, {}, "زيد", "03/03/2026 23:59:58", "GameID = 3"},
    };
    TfmPlayerPoem& w = playerPoem();
    openHistory([&](TfmHistory& h) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.filter.toStdString());
            // The history window has come to the front over the other one, as after a click on
            // it; the other one may even have been minimised.
            activate(h);
            if (w.isVisible())
                w.showMinimized();
            if (c.how == How::Titles) {
                clickCell(*h.DBGrid1, c.row, 0);
                QHeaderView* header = h.DBGrid1->horizontalHeader();
                QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, {header->sectionViewportPosition(1) + 5, 5});
            } else if (c.how == How::Keys) {
                ASSERT_TRUE(tabTo(h.DBGrid1));
                while (h.DBGrid1->currentIndex().row() < c.row)
                    press(Qt::Key_Down);
                while (h.DBGrid1->currentIndex().row() > c.row)
                    press(Qt::Key_Up);
                press(Qt::Key_Return);
            } else {
                doubleClickCell(*h.DBGrid1, c.row, 1);
            }
            EXPECT_TRUE(w.isVisible());
            EXPECT_FALSE(w.isMinimized());
            EXPECT_FALSE(w.isModal());
            EXPECT_TRUE(QTest::qWaitForWindowActive(&w)) << "brought to the front";
            EXPECT_EQ(main().cdsPlayerPoem().filterText(), cp(c.filter));
            EXPECT_TRUE(main().cdsPlayerPoem().filtered());
            EXPECT_EQ(columnTexts(*w.DBGrid1, 2), c.verses);
            EXPECT_EQ(w.laPlayer->text(), c.player);
            EXPECT_EQ(w.laDate->text(), c.date);
            EXPECT_EQ(titles(*w.DBGrid1), (QStringList{"رقم متسلسل", "رقم المطارحة", "نص البيت"}));
            EXPECT_EQ(main().cdsPlayerPoem().field("Text").displayWidth(), 40);
            EXPECT_TRUE(dialogs->texts("error").isEmpty()) << dialogs->texts("error").join("|").toStdString();
        }
    });
    // It stays open after the history window closes, still on the game last chosen.
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.laPlayer->text(), "زيد");
    w.close();
}

TEST_F(HistoryTest, WithNoGameTheDoubleClickShowsTheExpressionErrorAndOpensNothing)
{
    openHistory([&](TfmHistory& h) {
        QTest::mouseDClick(h.DBGrid1->viewport(), Qt::LeftButton, {}, {100, 100});
    });
    EXPECT_EQ(dialogs->texts("error").join("|"), "Expression expected but nothing found");
    EXPECT_FALSE(playerPoem().isVisible());
    EXPECT_FALSE(main().cdsPlayerPoem().filtered());
    EXPECT_EQ(main().cdsPlayerPoem().filterText(), "");
}

TEST_F(HistoryTest, SystemDateAndTimeFormsWithoutTheZone)
{
    const QDateTime evening(QDate(2026, 3, 1), QTime(20, 5, 9));
    const struct {
        QLocale locale;
        QString expected;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "01/03/2026 20:05:09"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "3/1/26 8:05:09 PM"},
        {QLocale(QLocale::German, QLocale::Germany), "01.03.26 20:05:09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shortDateLongTime(evening, c.locale), c.expected) << c.locale.name().toStdString();
}

}  // namespace
