// The game options as the player meets them: the options dialog opened from the start-letter
// dialog, a vowelled verse pasted into the game, and a timed turn on a clock of the test's own.
#include "game_fixture.h"
#include "windows/game/game_options_dialog.h"
#include "core/rules/game_options.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QStyleOptionButton>

namespace barqeen::test {
namespace {

const QString kTimeRanOut = QStringLiteral("انتهى الوقت المحدد للدور، فخسرت هذه المطارحة");
const QString kAlreadySaid = QStringLiteral("قـــيل");
const QString kNoEndLetter = QStringLiteral("الرجاء إعطاء نهاية حرف صحيحة");
const QString kWrongFirstLetter = QStringLiteral("الرجاء التأكد من حرف البداية");

// A fully vowelled verse with shaddas, from أ to م.
const QString kAnaVowelled = QStringLiteral("أَنَا الَّذِي نَظَرَ الأَعْمَى إِلَى أَدَبِي وَأَسْمَعَتْ كَلِمَاتِي مَنْ بِهِ صَمَمُ");
// The computer's answer on م (ن for the player).
const QString kMaKullu = QStringLiteral("ما كل ما يتمنى المرء يدركه تجري الرياح بما لا تشتهي السفن");

void clickCheckBox(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

// The player empties the box and pastes text into it, then presses the send button.
void pasteAndSend(TfmGame& g, const QString& text)
{
    QTest::mouseClick(g.mePlayer->viewport(), Qt::LeftButton);
    QTest::keyClick(g.mePlayer, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(g.mePlayer, Qt::Key_Delete);
    QApplication::clipboard()->setText(text);
    QTest::keyClick(g.mePlayer, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(g.bbSend, Qt::LeftButton);
}

class GameOptionsTest : public GameFixture {
protected:
    int64_t steadyMs = 0;

    void SetUp() override
    {
        GameFixture::SetUp();
        main().cdsPoem().appendRecord({Value(), Value(cp(kMaKullu)), Value(), Value(), Value(cp(QStringLiteral("م"))),
                                       Value(cp(QStringLiteral("ن")))});
        game().setSteadyClock([this] { return steadyMs; });
    }

    // The start-letter dialog is answered by start (which may open the options); the options
    // dialog by options; the game window by play.
    void pressGameWith(std::function<int(TfmStartLetter&)> start, std::function<int(TfmGameOptions&)> options,
                       std::function<void(TfmGame&)> play = nullptr)
    {
        dialogs->inputs.push_back(QStringLiteral("سالم"));
        dialogs->onModal = [=, this](QDialog& d) -> int {
            if (auto* s = dynamic_cast<TfmStartLetter*>(&d)) {
                activate(*s);
                return start(*s);
            }
            if (auto* o = dynamic_cast<TfmGameOptions*>(&d)) {
                activate(*o);
                const int result = options(*o);
                EXPECT_FALSE(o->isVisible());
                return result;
            }
            auto* g = dynamic_cast<TfmGame*>(&d);
            EXPECT_NE(g, nullptr);
            if (!g)
                return QDialog::Rejected;
            activate(*g);
            if (play)
                play(*g);
            EXPECT_FALSE(g->isVisible()) << "the game was not ended";
            if (g->isVisible())
                g->hide();
            return g->result();
        };
        emit main().imGame->clicked();
    }

    static int startWith(TfmStartLetter& s, const QString& letter)
    {
        pick(s.cbLetter, letter);
        click(s.BitBtn1);
        return s.result();
    }
};

TEST_F(GameOptionsTest, TheOptionsDialogOpensFromTheStartDialogAndKeepsWhatIsChosenOnOk)
{
    EXPECT_EQ(GameOptions::load(), GameOptions());
    pressGameWith(
        [](TfmStartLetter& s) {
            click(s.bbOptions);
            click(s.BitBtn2);  // no game this time
            return s.result();
        },
        [](TfmGameOptions& o) {
            // The designed game until the player changes it.
            EXPECT_EQ(o.windowTitle(), QStringLiteral("خيارات المطارحة"));
            EXPECT_FALSE(o.cxVowelled->isChecked());
            EXPECT_EQ(o.cbLevel->currentText(), QStringLiteral("عادي"));
            EXPECT_EQ(o.cbTurnTime->currentText(), QStringLiteral("بلا مهلة"));
            clickCheckBox(o.cxVowelled);
            pick(o.cbLevel, QStringLiteral("صعب"));
            pick(o.cbTurnTime, QStringLiteral("60 ثانية"));
            click(o.bbOk);
            return o.result();
        });
    const GameOptions chosen{true, PlayLevel::Hard, 60};
    EXPECT_EQ(GameOptions::load(), chosen);
    EXPECT_EQ(gameWindowsShown, 0);

    // Opened again it shows them; what is changed and then cancelled is not kept, and the game
    // that starts plays with the options kept.
    pressGameWith(
        [](TfmStartLetter& s) {
            click(s.bbOptions);
            return startWith(s, QStringLiteral("أ"));
        },
        [](TfmGameOptions& o) {
            EXPECT_TRUE(o.cxVowelled->isChecked());
            EXPECT_EQ(o.cbLevel->currentText(), QStringLiteral("صعب"));
            EXPECT_EQ(o.cbTurnTime->currentText(), QStringLiteral("60 ثانية"));
            clickCheckBox(o.cxVowelled);
            pick(o.cbLevel, QStringLiteral("سهل"));
            click(o.bbCancel);
            return o.result();
        },
        [](TfmGame& g) {
            EXPECT_TRUE(g.rules().acceptVowelled());
            EXPECT_EQ(g.rules().level(), PlayLevel::Hard);
            EXPECT_TRUE(g.stTurnTime->isVisible());
            EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("01:00"));
            g.close();
        });
    EXPECT_EQ(GameOptions::load(), chosen);
}

TEST_F(GameOptionsTest, APastedVowelledVerseIsAcceptedAndRecordedAsTyped)
{
    GameOptions{true, PlayLevel::Normal, 0}.save();
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("ل")); }, nullptr, [&](TfmGame& g) {
        ASSERT_EQ(g.stLetter->text(), QStringLiteral("أ"));
        takeShown();
        pasteAndSend(g, kAnaVowelled);
        EXPECT_EQ(takeShown(), QStringList());
        EXPECT_EQ(g.RoundCount, 2);
        EXPECT_EQ(g.meComputer->toPlainText(), QStringLiteral("\n") + kMaKullu);
        EXPECT_EQ(g.stLetter->text(), QStringLiteral("ن"));
        g.close();
    });
    const auto poems = OnDisk(dir).playerPoems();
    ASSERT_EQ(poems.size(), 1u);
    EXPECT_EQ(poems[0].text, cp(kAnaVowelled));

    // The computer's verse pasted back with its marks and shaddas is a repeat, not a new verse.
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("ب")); }, nullptr, [&](TfmGame& g) {
        ASSERT_EQ(g.meComputer->toPlainText(), QStringLiteral("\n") + kBakaytu);
        takeShown();
        pasteAndSend(g, QStringLiteral("بَكَيْتُ عَلَى الشَّبَابِ بِدَمْعِ عَيْنِي فَلَمْ يُغْنِ البُكَاءُ وَلا النَّحِيبُ"));
        EXPECT_EQ(takeShown(), QStringList{"warning|" + kAlreadySaid});
        EXPECT_EQ(g.RoundCount, 1);
        g.close();
    });
}

// Without the option the designed rules hold; a shadda is named, with the option that takes it.
TEST_F(GameOptionsTest, WithoutTheOptionTheVowelledVerseIsRefusedAndTheShaddaNamed)
{
    const QString shaddaInside = QStringLiteral("أنا الذي نظر الأعمى إلى أدبي وأسمعت كلماتي من به صمّم");
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("ل")); }, nullptr, [&](TfmGame& g) {
        takeShown();
        pasteAndSend(g, kAnaVowelled);
        // It ends on a mark: the damma is named, with the option that takes it.
        const QStringList endRefusal = takeShown();
        ASSERT_EQ(endRefusal.size(), 1);
        const QStringList endLines = endRefusal[0].split(QLatin1Char('\n'));
        ASSERT_EQ(endLines.size(), 2) << endRefusal[0].toStdString();
        EXPECT_EQ(endLines[0], "warning|" + kNoEndLetter);
        EXPECT_TRUE(endLines[1].contains(QStringLiteral("الضمة"))) << endLines[1].toStdString();
        EXPECT_TRUE(endLines[1].contains(QStringLiteral("«قبول الأبيات المشكولة بالكامل»")));
        pasteAndSend(g, shaddaInside);
        const QStringList shown = takeShown();
        ASSERT_EQ(shown.size(), 1);
        const QStringList lines = shown[0].split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], QStringLiteral("message|توجد رموز أو حروف غير عربية في البيت"));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("الشدة")));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("«قبول الأبيات المشكولة بالكامل»")));
        EXPECT_EQ(g.mePlayer->toPlainText(), shaddaInside);
        EXPECT_EQ(g.RoundCount, 1);
        g.close();
    });
    EXPECT_TRUE(OnDisk(dir).playerPoems().empty());
}

TEST_F(GameOptionsTest, ATimedTurnCountsDownPausesForBoxesAndRunsOutAsAGiveUp)
{
    GameOptions{false, PlayLevel::Normal, 30}.save();
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("أ")); }, nullptr, [&](TfmGame& g) {
        EXPECT_TRUE(g.laTurnTime->isVisible());
        EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("00:30"));
        steadyMs += 12000;
        g.Timer1Timer();
        EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("00:18"));

        // The player reads a refusal for a long time: the turn waits.
        takeShown();
        dialogs->whileShown = [&](const Shown&) { steadyMs += 100000; };
        pasteAndSend(g, kIdha);
        dialogs->whileShown = nullptr;
        EXPECT_EQ(takeShown(), QStringList{"message|" + kWrongFirstLetter});
        g.Timer1Timer();
        EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("00:18"));
        EXPECT_TRUE(g.isVisible());

        // An accepted verse: the computer answers and the next turn has the whole time.
        pasteAndSend(g, kBalaghna);
        EXPECT_EQ(g.RoundCount, 2);
        EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("00:30"));
        steadyMs += 29999;
        g.Timer1Timer();
        EXPECT_EQ(g.stTurnTime->text(), QStringLiteral("00:01"));
        EXPECT_TRUE(g.isVisible());
        now = start.addSecs(75);
        steadyMs += 1;
        g.Timer1Timer();
        EXPECT_EQ(takeShown(), QStringList{"message|" + kTimeRanOut});
        EXPECT_FALSE(g.isVisible());
    });
    EXPECT_EQ(game().GameEndType(), 2);

    // Given up at the same point: the same record.
    steadyMs = 0;
    now = start;
    dialogs->answers.push_back(true);
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("أ")); }, nullptr, [&](TfmGame& g) {
        pasteAndSend(g, kBalaghna);
        now = start.addSecs(75);
        click(g.bbGiveup);
        EXPECT_FALSE(g.isVisible());
    });
    const auto rows = OnDisk(dir).history();
    ASSERT_EQ(rows.size(), 2u);
    for (const HistoryRow& row : rows) {
        EXPECT_EQ(row.endType, 2);
        EXPECT_EQ(row.rounds, 2);
        EXPECT_EQ(row.duration, 1);
    }
    EXPECT_EQ(OnDisk(dir).playerPoems().size(), 2u);
}

// Return on a focused button presses that button, not the dialog's default «تم».
TEST_F(GameOptionsTest, ReturnOnAFocusedCancelKeepsTheOptionsAsTheyWere)
{
    const GameOptions kept{false, PlayLevel::Hard, 0};
    kept.save();
    pressGameWith(
        [](TfmStartLetter& s) {
            click(s.bbOptions);
            click(s.BitBtn2);
            return s.result();
        },
        [](TfmGameOptions& o) {
            // The keyboard alone: to the level, up to «سهل», on to «إلغاء».
            EXPECT_TRUE(tabTo(o.cbLevel));
            press(Qt::Key_Up);
            press(Qt::Key_Up);
            EXPECT_EQ(o.cbLevel->currentText(), QStringLiteral("سهل"));
            EXPECT_TRUE(tabTo(o.bbCancel));
            press(Qt::Key_Return);
            return o.result();
        });
    EXPECT_EQ(GameOptions::load(), kept);

    // And on a focused «تم» the choice is kept.
    pressGameWith(
        [](TfmStartLetter& s) {
            click(s.bbOptions);
            click(s.BitBtn2);
            return s.result();
        },
        [](TfmGameOptions& o) {
            EXPECT_TRUE(tabTo(o.cbLevel));
            press(Qt::Key_Up);
            press(Qt::Key_Up);
            EXPECT_TRUE(tabTo(o.bbOk));
            press(Qt::Key_Return);
            return o.result();
        });
    EXPECT_EQ(GameOptions::load().level, PlayLevel::Easy);
}

TEST_F(GameOptionsTest, ReturnOnTheStartDialogsCancelOrOptionsStartsNoGame)
{
    pressGameWith(
        [](TfmStartLetter& s) {
            EXPECT_TRUE(tabTo(s.BitBtn2));
            press(Qt::Key_Return);
            EXPECT_FALSE(s.isVisible());
            return s.result();
        },
        nullptr);
    int optionsShown = 0;
    pressGameWith(
        [](TfmStartLetter& s) {
            EXPECT_TRUE(tabTo(s.bbOptions));
            press(Qt::Key_Return);  // opens the options, which are left at once
            EXPECT_TRUE(s.isVisible()) << "Return on the options button ended the dialog";
            click(s.BitBtn2);
            return s.result();
        },
        [&](TfmGameOptions& o) {
            ++optionsShown;
            click(o.bbCancel);
            return o.result();
        });
    EXPECT_EQ(optionsShown, 1);
    EXPECT_EQ(gameWindowsShown, 0);
    EXPECT_TRUE(OnDisk(dir).history().empty());
}

// Off by default: no countdown shows and no time runs out.
TEST_F(GameOptionsTest, AnUntimedGameShowsNoCountdownAndNeverRunsOut)
{
    pressGameWith([](TfmStartLetter& s) { return startWith(s, QStringLiteral("أ")); }, nullptr, [&](TfmGame& g) {
        EXPECT_FALSE(g.laTurnTime->isVisible());
        EXPECT_FALSE(g.stTurnTime->isVisible());
        steadyMs += 1000LL * 60 * 60 * 24;
        g.Timer1Timer();
        EXPECT_TRUE(g.isVisible());
        g.close();
    });
    EXPECT_EQ(game().GameEndType(), 0);
}

}  // namespace
}  // namespace barqeen::test
