// The game window's look and keys on the offscreen platform: its size and controls as laid out,
// the centred boxes, the backdrop, Enter and Esc.
#include "game_fixture.h"
#include "screen_reader.h"
#include "windows/shell/fonts.h"
#include "windows/shell/painting.h"

#include <QAccessible>
#include <QApplication>
#include <QScreen>

#include <QTextDocument>
#include <QTextOption>

using namespace barqeen;
using namespace barqeen::test;

namespace {

using GameWindowTest = GameFixture;

TEST_F(GameWindowTest, LaidOutAsDesigned)
{
    TfmGame& g = game();
    EXPECT_EQ(g.windowTitle(), QStringLiteral("مطارحة"));
    EXPECT_EQ(g.size(), QSize(536, 370));
    EXPECT_EQ(g.minimumSize(), g.maximumSize());
    EXPECT_EQ(g.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(g.font().pixelSize(), 11);

    const struct {
        const char* name;
        QWidget* widget;
        QRect geometry;
    } placed[] = {
        {"Panel1", g.Panel1, {0, 0, 536, 52}},
        {"meComputer", g.meComputer, {8, 56, 513, 145}},
        {"stLetter", g.stLetter, {376, 203, 35, 24}},
        {"mePlayer", g.mePlayer, {8, 232, 513, 97}},
        {"bbSend", g.bbSend, {446, 337, 75, 25}},
        {"bbGiveup", g.bbGiveup, {8, 336, 75, 25}},
    };
    for (const auto& p : placed)
        EXPECT_EQ(p.widget->geometry(), p.geometry) << p.name;
    const struct {
        const char* name;
        QWidget* widget;
        QPoint at;
        int height;  // 0: its text's own height
    } autoSized[] = {
        {"Label1", g.Label1, {439, 208}, 0},
        {"stTime", g.stTime, {245, 205}, 24},
        {"Label2", g.Label2, {117, 208}, 0},
        {"stRound", g.stRound, {72, 203}, 24},
    };
    for (const auto& a : autoSized) {
        EXPECT_EQ(a.widget->pos(), a.at) << a.name;
        if (a.height) {
            EXPECT_EQ(a.widget->height(), a.height) << a.name;
        }
        EXPECT_GE(a.widget->width(), a.widget->sizeHint().width()) << a.name;
        EXPECT_LE(a.widget->geometry().right(), 535) << a.name;
    }
    EXPECT_EQ(g.StaticText1->parentWidget(), g.Panel1);
    EXPECT_EQ(g.laPlayer->parentWidget(), g.Panel1);
    EXPECT_EQ(g.laPlayer->y(), 24);
    EXPECT_LE(g.laPlayer->geometry().bottom(), 51);

    EXPECT_EQ(g.StaticText1->text(), QStringLiteral("مطارحة شعرية"));
    EXPECT_EQ(g.StaticText1->font().pixelSize(), 32);
    // The title's box keeps its right edge and holds the whole title.
    EXPECT_EQ(g.StaticText1->geometry().topRight(), QPoint(528, 4));
    EXPECT_EQ(g.StaticText1->height(), 42);
    EXPECT_GE(g.StaticText1->width(), 153);
    EXPECT_GE(g.StaticText1->width(), g.StaticText1->fontMetrics().horizontalAdvance(g.StaticText1->text()));
    EXPECT_EQ(g.StaticText1->font().family(), fonts::calligraphicFamily());
    EXPECT_EQ(g.StaticText1->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0x80));
    EXPECT_EQ(g.Panel1->palette().color(QPalette::Window), QColor(0x00, 0x40, 0x40));
    EXPECT_EQ(g.laPlayer->text(), QStringLiteral("الاعب"));
    EXPECT_EQ(g.laPlayer->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(g.Label1->text(), QStringLiteral("الحرف المطلوب"));
    EXPECT_EQ(g.Label2->text(), QStringLiteral("الجولة"));
    EXPECT_EQ(g.stLetter->text(), QStringLiteral("   "));
    EXPECT_EQ(g.stTime->text(), QStringLiteral("   "));
    EXPECT_EQ(g.stRound->text(), QStringLiteral("1"));
    EXPECT_EQ(g.bbSend->text(), QStringLiteral("إرسال"));
    EXPECT_EQ(g.bbGiveup->text(), QStringLiteral("استسلام"));
    EXPECT_FALSE(g.bbSend->icon().isNull());
    EXPECT_FALSE(g.bbGiveup->icon().isNull());
    EXPECT_FALSE(g.Timer1->isActive());

    for (QLabel* s : {g.stLetter, g.stTime, g.stRound}) {
        EXPECT_EQ(s->frameShadow(), QFrame::Sunken);
        EXPECT_TRUE(s->autoFillBackground());
        EXPECT_EQ(s->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_EQ(s->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_EQ(s->font().pixelSize(), 16);
    }
    EXPECT_EQ(g.stTime->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(g.stRound->layoutDirection(), Qt::LeftToRight);

    for (QPlainTextEdit* m : {g.meComputer, g.mePlayer}) {
        EXPECT_EQ(m->document()->defaultTextOption().alignment(), Qt::AlignCenter);
        EXPECT_EQ(m->font().pixelSize(), 16);
        EXPECT_EQ(m->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(m->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
    EXPECT_TRUE(g.meComputer->isReadOnly());
    EXPECT_EQ(g.meComputer->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(g.meComputer->palette().color(QPalette::Base), QColor(0xD1, 0xE6, 0xE7));
    EXPECT_FALSE(g.mePlayer->isReadOnly());

    // Neither button is the default: Enter in the player's box is a new line.
    for (QPushButton* b : {g.bbSend, g.bbGiveup}) {
        EXPECT_FALSE(b->isDefault());
        EXPECT_FALSE(b->autoDefault());
    }
}

TEST_F(GameWindowTest, PlayersBoxHasTheFocusAndTabGoesOnToSend)
{
    TfmGame& g = game();
    main().move(0, 0);  // not where the game window goes
    g.show();
    const QRect screen = main().screen()->availableGeometry();
    EXPECT_LE((g.frameGeometry().center() - screen.center()).manhattanLength(), 1) << "centred on the screen";
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    EXPECT_EQ(QApplication::focusWidget(), g.mePlayer);
    QTest::keyClick(g.mePlayer, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), g.bbSend);
    QTest::keyClick(g.bbSend, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), g.bbGiveup);
    g.hide();
}

// Enter in the player's box makes a new line and Esc does nothing: neither sends, gives up or
// closes the window.
TEST_F(GameWindowTest, EnterAndEscDoNotSendGiveUpOrClose)
{
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [this](TfmGame& g) {
        takeShown();
        g.mePlayer->setPlainText(QStringLiteral("بيت"));
        g.mePlayer->moveCursor(QTextCursor::End);
        QTest::keyClick(g.mePlayer, Qt::Key_Return);
        QTest::keyClick(g.mePlayer, Qt::Key_Enter);
        EXPECT_EQ(g.mePlayer->toPlainText(), QStringLiteral("بيت\n\n"));
        for (QWidget* w : std::initializer_list<QWidget*>{g.mePlayer, g.bbSend, g.bbGiveup, &g})
            QTest::keyClick(w, Qt::Key_Escape);
        QTest::keyClick(&g, Qt::Key_Return);
        EXPECT_TRUE(g.isVisible());
        EXPECT_TRUE(takeShown().isEmpty());
        EXPECT_EQ(g.stRound->text(), QStringLiteral("1"));
        g.close();
    });
    EXPECT_EQ(game().GameEndType(), 0);
}

// Return on a focused button presses it, as Space does: «إرسال» sends, «استسلام» asks.
TEST_F(GameWindowTest, ReturnOnAFocusedButtonPressesIt)
{
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [this](TfmGame& g) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
        ASSERT_EQ(g.meComputer->toPlainText(), QStringLiteral("\n") + kAlaLayta);
        takeShown();
        g.mePlayer->setFocus();
        paste(kBalaghna);
        EXPECT_TRUE(tabTo(g.bbSend));
        press(Qt::Key_Return);
        EXPECT_EQ(takeShown(), QStringList());
        EXPECT_EQ(g.stRound->text(), QStringLiteral("2"));
        EXPECT_EQ(g.meComputer->toPlainText(), QStringLiteral("\n") + kRaaytu);

        dialogs->answers.push_back(true);
        EXPECT_TRUE(tabTo(g.bbGiveup));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(takeShown(), QStringList{QStringLiteral("warningYesNo|هل أنت متأكد")});
        EXPECT_FALSE(g.isVisible());
    });
    EXPECT_EQ(OnDisk(dir).playerPoems().size(), 1u);
}

TEST_F(GameWindowTest, BackdropIsTheGradientUnderTheControls)
{
    TfmGame& g = game();
    g.show();
    const QImage picture = g.grab().toImage();
    // Points of the window's own surface, between its controls.
    for (const QPoint& at : {QPoint(2, 60), QPoint(530, 200), QPoint(3, 300), QPoint(200, 365), QPoint(300, 230)})
        EXPECT_EQ(picture.pixelColor(at), backdropBandColor(at.y() / 2)) << at.x() << "," << at.y();
    // The title panel and the computer's box keep their own colours.
    EXPECT_EQ(picture.pixelColor(200, 10), QColor(0x00, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(100, 150), QColor(0xD1, 0xE6, 0xE7));
    g.hide();
}

// Right to left the picture stands to the right of the text, the two centred together inside the
// button; left to right the other way round.
TEST_F(GameWindowTest, PictureButtonsCentreTheirPictureAndTextTogether)
{
    const struct {
        const char* name;
        PicturePushButton* button;
    } buttons[] = {{"bbSend", game().bbSend},
                   {"bbGiveup", game().bbGiveup},
                   {"BitBtn1", startLetter().BitBtn1},
                   {"BitBtn2", startLetter().BitBtn2}};
    for (const auto& [name, b] : buttons) {
        SCOPED_TRACE(name);
        for (const Qt::LayoutDirection direction : {Qt::RightToLeft, Qt::LeftToRight}) {
            b->setLayoutDirection(direction);
            const QRect picture = b->pictureRect(), text = b->textRect();
            EXPECT_EQ(picture.size(), QSize(16, 16));
            EXPECT_EQ(text.width(), b->fontMetrics().horizontalAdvance(b->text()));
            const QRect both = picture.united(text);
            EXPECT_GE(both.left(), 2);
            EXPECT_LE(both.right(), b->width() - 3);
            EXPECT_TRUE(b->rect().contains(picture));
            EXPECT_LE(std::abs(both.left() - (b->width() - 1 - both.right())), 2);  // centred
            if (direction == Qt::RightToLeft)
                EXPECT_LT(text.right(), picture.left());
            else
                EXPECT_LT(picture.right(), text.left());

            // As drawn: the dark pixels of the letters and the picture, inside the button's
            // border, leave margins of about the same width on both sides.
            const QImage drawn = b->grab().toImage();
            int first = drawn.width(), last = -1;
            for (int x = 3; x < drawn.width() - 3; ++x)
                for (int y = 4; y < drawn.height() - 4; ++y)
                    if (qGray(drawn.pixel(x, y)) < 90) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
            ASSERT_GE(last, 0);
            EXPECT_GE(first, 6);
            EXPECT_LE(std::abs(first - (drawn.width() - 1 - last)), 6) << first << " " << last;
        }
        b->setLayoutDirection(Qt::RightToLeft);
    }
}

// The player's name replaces the placeholder; the label keeps its right edge and grows to the left.
TEST_F(GameWindowTest, PlayerNameGrowsToTheLeft)
{
    const int right = game().laPlayer->geometry().right();
    pressGame(QStringLiteral("عبد الرحمن بن محمد"), QStringLiteral("أ"), [&](TfmGame& g) {
        EXPECT_EQ(g.laPlayer->geometry().right(), right);
        EXPECT_LT(g.laPlayer->x(), 312);
        g.close();
    });
}

// A long name in a timed game stops short of «الوقت المتبقي»; a reader hears it whole with its caption.
TEST_F(GameWindowTest, ALongNameDoesNotOverlapTheCountdown)
{
    GameOptions{false, PlayLevel::Normal, 30}.save();
    const QString name = QStringLiteral("ممممممممممممممممممممم").left(20);  // the widest letters the limit allows
    pressGame(name, QStringLiteral("أ"), [&](TfmGame& g) {
        ASSERT_TRUE(g.laTurnTime->isVisible());
        EXPECT_FALSE(g.laPlayer->geometry().intersects(g.laTurnTime->geometry()))
            << g.laPlayer->geometry().x() << " " << g.laTurnTime->geometry().right();
        EXPECT_FALSE(g.laPlayer->geometry().intersects(g.stTurnTime->geometry()));
        QAccessibleInterface* player = QAccessible::queryAccessibleInterface(g.laPlayer);
        ASSERT_TRUE(player);
        EXPECT_EQ(player->text(QAccessible::Name), QStringLiteral("المتسابق: ") + name);
        g.close();
    });
}

// The countdown and the elapsed time read their values; the letter and the round their captions.
TEST_F(GameWindowTest, AScreenReaderHearsTheTimesAndTheCaptions)
{
    GameOptions{false, PlayLevel::Normal, 30}.save();
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [&](TfmGame& g) {
        EXPECT_EQ(readName(g.stTurnTime), QStringLiteral("الوقت المتبقي: 00:30"));
        now = start.addSecs(65);
        g.Timer1Timer();
        EXPECT_TRUE(readName(g.stTime).endsWith(QStringLiteral("00:01:05"))) << readName(g.stTime).toStdString();
        EXPECT_NE(readName(g.stTime), QStringLiteral("00:01:05"));
        EXPECT_EQ(readCaptions(g.stLetter), QStringList{QStringLiteral("الحرف المطلوب")});
        EXPECT_EQ(readCaptions(g.stRound), QStringList{QStringLiteral("الجولة")});
        g.close();
    });
}

}  // namespace
