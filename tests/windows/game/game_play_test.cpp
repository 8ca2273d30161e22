// Whole games played from the main window's game button, offscreen, through the message service,
// on a small verse table: openings, exchanges, the three ways a game ends, refused sends, the
// clock and the records in the files.
#include "game_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextDocument>

using namespace barqeen;
using namespace barqeen::test;

namespace {

const QString kNoEndLetter = QStringLiteral("الرجاء إعطاء نهاية حرف صحيحة");
const QString kWrongFirstLetter = QStringLiteral("الرجاء التأكد من حرف البداية");
const QString kAlreadySaid = QStringLiteral("قـــيل");
const QString kDefeated = QStringLiteral("يبدو أني هزمت");
const QString kSure = QStringLiteral("هل أنت متأكد");
const QString kNotArabic = QStringLiteral("توجد رموز أو حروف غير عربية في البيت");
const QString kTooShort = QStringLiteral("طول البيت قصير");
const QString kPrompt = QStringLiteral("input|مطارحة|الرجاء كتابة إسم المتسابق|");

// The refusal of a character that is not Arabic: its second line names the character.
QString notArabic(const QString& named)
{
    return kNotArabic + QLatin1Char('\n') + named;
}
QString namedCharacter(const QString& ch, const char* code)
{
    return QStringLiteral("الحرف \u2066%1\u2069 (U+%2) ليس من حروف البيت العربية.").arg(ch, QLatin1String(code));
}
const QString kShaddaNamed =
    QStringLiteral("العلامة المرفوضة: الشدة، ويقبلها خيار «قبول الأبيات المشكولة بالكامل» في خيارات المطارحة.");

QString shownVerse(const QString& verse)
{
    return QStringLiteral("\n") + verse;  // the computer's verse comes after an empty line
}

using GamePlayTest = GameFixture;

TEST_F(GamePlayTest, FixtureVersesEndOnTheirStoredLetters)
{
    for (const FixtureVerse& v : fixtureVerses()) {
        char letter = 0;
        ASSERT_TRUE(GetEndLetter(cp(v.text), letter)) << v.text.toStdString();
        EXPECT_EQ(std::string(1, letter), cp(v.end)) << v.text.toStdString();
    }
    const std::pair<QString, QString> players[] = {
        {kBalaghna, QStringLiteral("ر")}, {kBanaytu, QStringLiteral("ل")}, {kIdha, QStringLiteral("ل")}};
    for (const auto& [verse, end] : players) {
        char letter = 0;
        ASSERT_TRUE(GetEndLetter(cp(verse), letter));
        EXPECT_EQ(std::string(1, letter), cp(end));
        EXPECT_TRUE(Shell::CheckVerse(Shell::NormalizeText(cp(verse)))) << verse.toStdString();
    }
    EXPECT_TRUE(takeShown().isEmpty());
}

// Several rounds, a refused repeat, a give-up declined and then confirmed; the history row and
// each accepted verse are in the files as soon as they are written.
TEST_F(GamePlayTest, SeveralRoundsEndingInGiveUp)
{
    dialogs->answers = {false, true};
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [this](TfmGame& g) {
        EXPECT_EQ(takeShown(), QStringList{kPrompt});
        EXPECT_TRUE(g.Timer1->isActive());
        EXPECT_EQ(g.Timer1->interval(), 1000);
        EXPECT_EQ(g.focusWidget(), g.mePlayer);
        EXPECT_EQ(g.laPlayer->text(), QStringLiteral("سالم"));
        EXPECT_EQ(g.meComputer->toPlainText(), shownVerse(kAlaLayta));
        EXPECT_EQ(g.stLetter->text(), QStringLiteral("ب"));
        EXPECT_EQ(g.stRound->text(), QStringLiteral("1"));
        {
            OnDisk disk(dir);
            const auto rows = disk.history();
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(rows[0].name, cp(QStringLiteral("سالم")));
            EXPECT_FALSE(rows[0].duration || rows[0].rounds || rows[0].endType);
            EXPECT_TRUE(disk.playerPoems().empty());
        }

        now = start.addSecs(40);
        send(g, kBalaghna);
        EXPECT_TRUE(takeShown().isEmpty());
        EXPECT_EQ(g.meComputer->toPlainText(), shownVerse(kRaaytu));
        EXPECT_EQ(g.stLetter->text(), QStringLiteral("ب"));
        EXPECT_EQ(g.stRound->text(), QStringLiteral("2"));
        EXPECT_EQ(g.mePlayer->toPlainText(), QString());
        EXPECT_EQ(g.focusWidget(), g.mePlayer);
        {
            OnDisk disk(dir);
            const auto poems = disk.playerPoems();
            ASSERT_EQ(poems.size(), 1u);
            EXPECT_EQ(poems[0].gameId, g.CurrentGameID);
            EXPECT_EQ(poems[0].text, cp(kBalaghna));
        }

        // The player's own verse again, spaced differently and with a vowel mark: said before.
        const QString again = QStringLiteral("بلغنا  السماءَ مجدنا وجدودنا  وإنا لنرجو فوق ذلك مظهرا");
        send(g, again);
        EXPECT_EQ(takeShown(), QStringList{"warning|" + kAlreadySaid});
        EXPECT_EQ(g.mePlayer->toPlainText(), again);
        EXPECT_EQ(g.stRound->text(), QStringLiteral("2"));

        send(g, kBanaytu);
        EXPECT_EQ(g.meComputer->toPlainText(), shownVerse(kLaqad));
        EXPECT_EQ(g.stLetter->text(), QStringLiteral("أ"));
        EXPECT_EQ(g.stRound->text(), QStringLiteral("3"));

        now = start.addSecs(150);
        QTest::mouseClick(g.bbGiveup, Qt::LeftButton);  // No
        EXPECT_EQ(takeShown(), QStringList{"warningYesNo|" + kSure});
        EXPECT_TRUE(g.isVisible());
        EXPECT_EQ(g.GameEndType(), 0);
        QTest::mouseClick(g.bbGiveup, Qt::LeftButton);  // Yes
        EXPECT_EQ(takeShown(), QStringList{"warningYesNo|" + kSure});
    });
    EXPECT_EQ(gameWindowsShown, 1);
    EXPECT_FALSE(game().Timer1->isActive());
    EXPECT_EQ(game().RoundCount, 3);
    EXPECT_EQ(game().GameEndType(), 2);

    OnDisk disk(dir);
    const auto rows = disk.history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].gameId, game().CurrentGameID);
    EXPECT_EQ(rows[0].duration, 2);
    EXPECT_EQ(rows[0].rounds, 3);
    EXPECT_EQ(rows[0].endType, 2);
    const auto poems = disk.playerPoems();
    ASSERT_EQ(poems.size(), 2u);
    EXPECT_EQ(poems[1].text, cp(kBanaytu));
}

// A required أ is met by a verse beginning with bare ا; the computer then has no ل verse left
// and is defeated; the window closes by itself and the player's verse stays in its box.
TEST_F(GamePlayTest, RequiredHamzaMetByBareAlifThenTheComputerIsDefeated)
{
    pressGame(QStringLiteral("ليلى"), QStringLiteral("أ"), [this](TfmGame& g) {
        EXPECT_EQ(takeShown(), QStringList{kPrompt});
        send(g, kBanaytu);
        ASSERT_EQ(g.stLetter->text(), QStringLiteral("أ"));
        send(g, kIdha);
        EXPECT_EQ(takeShown(), QStringList{"message|" + kDefeated});
        EXPECT_EQ(g.mePlayer->toPlainText(), kIdha);
        EXPECT_EQ(g.meComputer->toPlainText(), shownVerse(kLaqad));
    });
    EXPECT_EQ(game().GameEndType(), 2);
    OnDisk disk(dir);
    const auto rows = disk.history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].rounds, 2);
    EXPECT_EQ(rows[0].endType, 2);
    EXPECT_EQ(rows[0].duration, 0);
    const auto poems = disk.playerPoems();
    ASSERT_EQ(poems.size(), 2u);
    EXPECT_EQ(poems[1].text, cp(kIdha));
}

// A verse sent with surrounding blanks and on two lines is trimmed, stored with the CR LF the
// table's verses use, and the window's own close ends the game without a question: EndType 0.
TEST_F(GamePlayTest, ClosingTheWindowEndsTheGameWithEndTypeZero)
{
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [this](TfmGame& g) {
        EXPECT_EQ(takeShown(), QStringList{kPrompt});
        send(g, QStringLiteral("  \n بلغنا السماء مجدنا وجدودنا\nوإنا لنرجو فوق ذلك مظهرا \t\n"));
        EXPECT_TRUE(takeShown().isEmpty());
        EXPECT_EQ(g.stRound->text(), QStringLiteral("2"));
        g.close();
        EXPECT_TRUE(takeShown().isEmpty());
    });
    EXPECT_EQ(game().GameEndType(), 0);
    OnDisk disk(dir);
    const auto rows = disk.history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].rounds, 2);
    EXPECT_EQ(rows[0].endType, 0);
    const auto poems = disk.playerPoems();
    ASSERT_EQ(poems.size(), 1u);
    EXPECT_EQ(poems[0].text, cp(QStringLiteral("بلغنا السماء مجدنا وجدودنا\r\nوإنا لنرجو فوق ذلك مظهرا")));
}

TEST_F(GamePlayTest, NoVerseForTheStartLetterEndsTheGameAtOnce)
{
    pressGame(QStringLiteral("سالم"), QStringLiteral("ث"));
    EXPECT_EQ(gameWindowsShown, 0);
    EXPECT_EQ(takeShown(), (QStringList{kPrompt, "message|" + kDefeated}));
    EXPECT_EQ(game().stRound->text(), QStringLiteral("0"));
    EXPECT_FALSE(game().Timer1->isActive());
    OnDisk disk(dir);
    const auto rows = disk.history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].rounds, 0);
    EXPECT_EQ(rows[0].endType, 2);
    EXPECT_EQ(rows[0].duration, 0);
}

// Each refused send: its one message, the text kept (trimmed) for correction, nothing recorded.
TEST_F(GamePlayTest, RefusedSendsKeepTheTextAndRecordNothing)
{
    struct Case {
        const char* what;
        QString typed;
        QString shown;  // kind|text
        QString kept;
    };
    const QString withDamma = QStringLiteral("بلغنا السماء مجدنا وجدودنا وإنا لنرجو فوق ذلك مظهرُ");
    const QString latin = QStringLiteral("بلغنا السماء مجدنا وجدودنا x وإنا لنرجو فوق ذلك مظهرا");
    const QString shadda = QStringLiteral("بلغنا السماء مجدنا وجدودنا وإنّا لنرجو فوق ذلك مظهرا");
    const QString emojiInside = QStringLiteral("بلغنا السماء مجدنا 😀 وجدودنا وإنا لنرجو فوق ذلك مظهرا");
    const QString emojiLast = QStringLiteral("بلغنا السماء مجدنا وجدودنا وإنا لنرجو فوق ذلك مظهرا 😀");
    const QString veh = QStringLiteral("بلغنا السماء مجدنا وجدودنا وإنا لنرجو ڤوق ذلك مظهرا");
    const QString bakaytuMarked = QStringLiteral("بَكيتُ على الشبابِ بدمعِ عيني فلم يغنِ البكاءَ ولا النحيب");
    const Case cases[] = {
        {"empty", QString(), "warning|" + kNoEndLetter, QString()},
        {"blank", QStringLiteral("  \n\t  \n"), "warning|" + kNoEndLetter, QString()},
        {"ends on a vowel mark", withDamma,
         "warning|" + kNoEndLetter +
             QStringLiteral("\nعلى آخر حرف علامة: الضمة، ويقبلها خيار «قبول الأبيات المشكولة بالكامل» في خيارات المطارحة."),
         withDamma},
        {"a Latin letter", latin, "message|" + notArabic(namedCharacter("x", "0078")), latin},
        {"a shadda", shadda, "message|" + notArabic(kShaddaNamed), shadda},
        {"too short", QStringLiteral("بلغنا المجد"), "message|" + kTooShort, QStringLiteral("بلغنا المجد")},
        {"a character the code page cannot hold", emojiInside,
         "message|" + notArabic(codepage::unmappableMessage(U'\U0001F600')), emojiInside},
        {"a letter the code page cannot hold", veh, "message|" + notArabic(codepage::unmappableMessage(U'\u06A4')),
         veh},
        // The end letter is looked at first.
        {"ends on a character the code page cannot hold", emojiLast, "warning|" + kNoEndLetter, emojiLast},
        {"wrong first letter", kIdha, "message|" + kWrongFirstLetter, kIdha},
        {"the computer's verse", QStringLiteral(" ") + kBakaytu + QStringLiteral("\n"), "warning|" + kAlreadySaid,
         kBakaytu},
        {"the computer's verse with vowel marks", bakaytuMarked, "warning|" + kAlreadySaid, bakaytuMarked},
    };
    pressGame(QStringLiteral("سالم"), QStringLiteral("ب"), [&](TfmGame& g) {
        ASSERT_EQ(g.meComputer->toPlainText(), shownVerse(kBakaytu));
        ASSERT_EQ(g.stLetter->text(), QStringLiteral("ب"));
        takeShown();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            g.stRound->setText(QString());  // refreshed after every send, refused or not
            send(g, c.typed);
            EXPECT_EQ(takeShown(), QStringList{c.shown});
            EXPECT_EQ(g.mePlayer->toPlainText(), c.kept);
            EXPECT_EQ(g.stRound->text(), QStringLiteral("1"));
            EXPECT_EQ(g.focusWidget(), g.mePlayer);
            EXPECT_TRUE(g.isVisible());
        }
        EXPECT_TRUE(OnDisk(dir).playerPoems().empty());
        EXPECT_TRUE(g.PlayerVerses().empty());
        g.close();
    });
    EXPECT_EQ(game().RoundCount, 1);
}

// A non-breaking space between the words reaches the rules as itself, a character that is not
// Arabic, whether it is typed or pasted; the box keeps it for correction.
TEST_F(GamePlayTest, NonBreakingSpaceTypedOrPastedIsRefusedAsNotArabic)
{
    QString withNbsp = kBalaghna;
    withNbsp[kBalaghna.indexOf(QLatin1Char(' '))] = QChar(QChar::Nbsp);
    pressGame(QStringLiteral("سالم"), QStringLiteral("ب"), [&](TfmGame& g) {
        takeShown();
        for (const bool paste : {false, true}) {
            SCOPED_TRACE(paste ? "pasted" : "typed");
            g.mePlayer->setFocus();
            QTest::keyClick(g.mePlayer, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(g.mePlayer, Qt::Key_Delete);
            if (paste) {
                QGuiApplication::clipboard()->setText(withNbsp);
                QTest::keyClick(g.mePlayer, Qt::Key_V, Qt::ControlModifier);
            } else {
                for (const QChar c : withNbsp)
                    QTest::sendKeyEvent(QTest::Click, g.mePlayer, c == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key_unknown,
                                        QString(c), Qt::NoModifier);
            }
            ASSERT_EQ(g.mePlayer->document()->toRawText(), withNbsp);
            QTest::mouseClick(g.bbSend, Qt::LeftButton);
            EXPECT_EQ(takeShown(), QStringList{"message|" + notArabic(namedCharacter(QString(QChar(QChar::Nbsp)), "00A0"))});
            EXPECT_EQ(g.mePlayer->document()->toRawText(), withNbsp);
            EXPECT_EQ(g.RoundCount, 1);
        }
        EXPECT_TRUE(OnDisk(dir).playerPoems().empty());
        g.close();
    });
}

TEST_F(GamePlayTest, DurationCountsWholeMinutes)
{
    const struct {
        int seconds;
        int minutes;
    } cases[] = {{0, 0}, {59, 0}, {61, 1}, {119, 1}, {3599, 59}, {3600, 60}, {-120, 0}};
    int games = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        now = start;
        pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [&](TfmGame& g) {
            now = start.addSecs(c.seconds);
            g.close();
        });
        const auto rows = OnDisk(dir).history();
        ASSERT_EQ(rows.size(), size_t(++games));
        EXPECT_EQ(rows.back().duration, c.minutes);
        EXPECT_EQ(rows.back().rounds, 1);  // every game starts afresh
    }
}

TEST_F(GamePlayTest, ClockShowsElapsedTimeOfDay)
{
    EXPECT_EQ(game().stTime->text(), QStringLiteral("   "));
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [&](TfmGame& g) {
        const struct {
            qint64 seconds;
            const char* shown;
        } ticks[] = {{0, "00:00:00"}, {1, "00:00:01"}, {3723, "01:02:03"}, {86399, "23:59:59"},
                     {86400 + 5, "00:00:05"}};
        for (const auto& t : ticks) {
            now = start.addSecs(t.seconds);
            g.Timer1Timer();
            EXPECT_EQ(g.stTime->text(), QString::fromLatin1(t.shown));
            EXPECT_GE(g.stTime->width(), g.stTime->sizeHint().width());
            EXPECT_EQ(g.stTime->x(), 245);
        }
        g.close();
    });
}

// The name: offered again, kept when the letter dialog is cancelled, kept whole up to what the
// history holds, refused when empty, and offered for correction when the code page cannot
// hold it.
TEST_F(GamePlayTest, NamePromptOffersThePreviousNameAndKeepsIt)
{
    pressGame(std::nullopt, QStringLiteral("أ"));  // name prompt cancelled
    EXPECT_EQ(takeShown(), QStringList{kPrompt});

    pressGame(QStringLiteral("ليلى"), std::nullopt);  // letter dialog cancelled
    EXPECT_EQ(takeShown(), QStringList{kPrompt});
    EXPECT_EQ(gameWindowsShown, 0);
    EXPECT_TRUE(OnDisk(dir).history().empty());

    pressGame(QStringLiteral("ليلى"), QStringLiteral("ح"), [](TfmGame& g) { g.close(); });
    EXPECT_EQ(takeShown(), (QStringList{kPrompt + QStringLiteral("ليلى"), "message|" + kDefeated}));
    EXPECT_EQ(gameWindowsShown, 0);  // no ح verse: no window

    // The letter list keeps its choice.
    EXPECT_EQ(startLetter().cbLetter->currentText(), QStringLiteral("ح"));

    // A name within what the history keeps is kept whole, in the window and the history.
    const QString twenty = QStringLiteral("عبد الرحمن بن عبد ال");
    ASSERT_EQ(twenty.size(), 20);
    pressGame(twenty, QStringLiteral("أ"), [&](TfmGame& g) {
        EXPECT_EQ(g.laPlayer->text(), twenty);
        EXPECT_GE(g.laPlayer->width(), g.laPlayer->sizeHint().width());
        EXPECT_GE(g.laPlayer->x(), 0);
        g.close();
    });
    const auto rows = OnDisk(dir).history();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, cp(twenty));
    EXPECT_EQ(takeShown(), QStringList{kPrompt + QStringLiteral("ليلى")});
}

// A name longer than the history's field is refused at the prompt, saying why, and offered
// again unchanged: never cut without a word.
TEST_F(GamePlayTest, NameLongerThanTheHistoryKeepsIsRefusedAtThePrompt)
{
    const int limit = main().cdsHistory().field("PlayerName").size();
    const QString longName = QStringLiteral("عبد الرحمن بن محمد بن علي");  // 25 characters
    ASSERT_GT(longName.size(), limit);
    dialogs->inputs.push_back(longName);  // the first prompt; pressGame answers the second
    pressGame(QStringLiteral("عبد الرحمن"), QStringLiteral("أ"), [](TfmGame& g) { g.close(); });
    const QStringList shown = takeShown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], kPrompt);
    EXPECT_TRUE(shown[1].startsWith("message|")) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].contains(QString::number(limit))) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].contains(QStringLiteral("سجل المطارحة"))) << shown[1].toStdString();
    EXPECT_EQ(shown[2], kPrompt + longName);
    const auto rows = OnDisk(dir).history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, cp(QStringLiteral("عبد الرحمن")));
}

TEST_F(GamePlayTest, EmptyNameIsRefusedByTheHistoryTable)
{
    pressGame(QString(), QStringLiteral("أ"));
    EXPECT_EQ(takeShown(), (QStringList{kPrompt, QStringLiteral("error|Field value required.")}));
    EXPECT_EQ(gameWindowsShown, 0);
    EXPECT_FALSE(game().Timer1->isActive());
    EXPECT_TRUE(OnDisk(dir).history().empty());
}

TEST_F(GamePlayTest, NameTheCodePageCannotHoldIsOfferedAgainForCorrection)
{
    const QString withEmoji = QStringLiteral("سالم 😀");
    dialogs->inputs.push_back(withEmoji);  // the first prompt; pressGame answers the second
    pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [](TfmGame& g) { g.close(); });
    EXPECT_EQ(takeShown(), (QStringList{kPrompt, "message|" + codepage::unmappableMessage(U'\U0001F600'),
                                        kPrompt + withEmoji}));
    const auto rows = OnDisk(dir).history();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, cp(QStringLiteral("سالم")));
}

// A second game starts afresh: the computer may open with the verse it said last game, the
// player may say his verses again, the window's boxes are reset.
TEST_F(GamePlayTest, EveryGameStartsAfresh)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        pressGame(QStringLiteral("سالم"), QStringLiteral("أ"), [&](TfmGame& g) {
            EXPECT_EQ(g.meComputer->toPlainText(), shownVerse(kAlaLayta));
            EXPECT_EQ(g.stRound->text(), QStringLiteral("1"));
            EXPECT_EQ(g.mePlayer->toPlainText(), QString());
            EXPECT_EQ(g.UsedTextIDs().size(), 1u);
            EXPECT_TRUE(g.PlayerVerses().empty());
            EXPECT_EQ(g.GameEndType(), 0);
            send(g, kBanaytu);
            send(g, kIdha);  // the computer is defeated
        });
        EXPECT_EQ(game().GameEndType(), 2);
    }
    const auto rows = OnDisk(dir).history();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].gameId, rows[1].gameId);
    const auto poems = OnDisk(dir).playerPoems();
    ASSERT_EQ(poems.size(), 4u);
    EXPECT_EQ(poems[2].gameId, rows[1].gameId);
}

}  // namespace
