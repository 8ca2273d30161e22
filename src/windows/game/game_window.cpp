#include "windows/game/game_window.h"

#include "windows/shell/accessibility.h"
#include "windows/game/box_text.h"
#include "windows/shell/picture_push_button.h"
#include "windows/game/verse_refusal.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "windows/shell/painting.h"
#include "core/text/codepage.h"
#include "core/text/verse_check.h"

#include <QApplication>
#include <QFrame>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextOption>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace barqeen {
namespace {

const QString kCaption = QStringLiteral("مطارحة");
const QString kTitle = QStringLiteral("مطارحة شعرية");
const QString kPlayerPlaceholder = QStringLiteral("الاعب");
const QString kNoEndLetter = QStringLiteral("الرجاء إعطاء نهاية حرف صحيحة");
const QString kWrongFirstLetter = QStringLiteral("الرجاء التأكد من حرف البداية");
const QString kDefeated = QStringLiteral("يبدو أني هزمت");
const QString kSureToGiveUp = QStringLiteral("هل أنت متأكد");
const QString kTimeRanOut = QStringLiteral("انتهى الوقت المحدد للدور، فخسرت هذه المطارحة");
const QString kTurnTimeLabel = QStringLiteral("الوقت المتبقي");
// No caption shows beside the elapsed time; a screen reader hears this one.
const QString kElapsedLabel = QStringLiteral("الوقت المنقضي");

// A set name replaces a label's text for screen readers: a value shown under its own caption
// carries the value after it.
void nameWithValue(QLabel* label, const QString& caption)
{
    label->setAccessibleName(caption + QStringLiteral(": ") + label->text());
}

constexpr int kTurnTimeWarningSeconds = 10;  // from here on the time left is shown in red

constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

// The game clock runs only while the game window is shown.
struct ClockRunning {
    QTimer& timer;
    explicit ClockRunning(QTimer& t) : timer(t) { timer.start(); }
    ~ClockRunning() { timer.stop(); }
};

void setColours(QWidget* w, QPalette::ColorRole background, const QColor& back, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(background, back);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    w->setPalette(p);
}

// A multi-line box with its text centred and both scroll bars.
QPlainTextEdit* memo(const QRect& geometry, QWidget* parent)
{
    auto* m = new QPlainTextEdit(parent);
    m->setGeometry(geometry);
    m->setFont(fonts::plainPixels(16));
    QTextOption option = m->document()->defaultTextOption();
    option.setAlignment(Qt::AlignCenter);
    m->document()->setDefaultTextOption(option);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setTabChangesFocus(true);
    return m;
}

// A static text with a sunken border, white, with blue letters.
QLabel* staticText(const QString& text, const QRect& geometry, QWidget* parent)
{
    auto* s = new QLabel(text, parent);
    s->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    s->setLineWidth(1);
    s->setAutoFillBackground(true);
    setColours(s, QPalette::Window, Qt::white, Qt::blue);
    s->setFont(fonts::plainPixels(16));
    s->setGeometry(geometry);
    return s;
}

// A static text whose width follows its text; its left edge stays where it was laid out.
void fitWidth(QLabel* s)
{
    s->resize(s->sizeHint().width(), s->height());
}

// A transparent label of the window's font, sized to its text.
QLabel* label(const QString& text, const QPoint& at, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->adjustSize();
    l->move(at);
    return l;
}

PicturePushButton* pictureButton(const QString& text, const QString& picture, const QRect& geometry, QWidget* parent)
{
    auto* b = new PicturePushButton(QIcon(picture), text, parent);
    b->setGeometry(geometry);
    // Neither button is the window's default: Enter and Esc do not send or give up.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

}  // namespace

template <class Box>
auto TfmGame::box(Box show)
{
    struct Paused {
        TfmGame& game;
        explicit Paused(TfmGame& g) : game(g) { game.turnClock_.pause(game.steadyClock_()); }
        ~Paused()
        {
            game.turnClock_.resume(game.steadyClock_());
            game.showTurnTime();
        }
    } paused(*this);
    return show();
}

TfmGame::TfmGame(Shell& shell, QWidget* parent)
    : QDialog(parent), shell_(shell),
      rules_(shell.cdsPoem(),
             [this](std::string_view text) { box([&] { Dialogs::warning(codepage::toUnicode(text)); }); }),
      clock_([] { return QDateTime::currentDateTime(); }),
      steadyClock_([] {
          return int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
      })
{
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(536, 370);
    setFont(fonts::plainPixels(11));
    buildControls();
}

TfmGame::~TfmGame() = default;

void TfmGame::buildControls()
{
    Panel1 = new QFrame(this);  // Panel1: the title strip, with the title, the player and the turn time
    Panel1->setGeometry(0, 0, 536, 52);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);
    setColours(Panel1, QPalette::Window, QColor(0x00, 0x40, 0x40), Qt::white);

    StaticText1 = new QLabel(kTitle, Panel1);  // StaticText1: the title, «مطارحة شعرية»
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(fonts::calligraphicPixels(32, false));
    setColours(StaticText1, QPalette::Window, QColor(0x00, 0x40, 0x40), QColor(0xFF, 0xFF, 0x80));
    // Anchored top-right: where the bundled face writes the title wider than its box, the box
    // grows to the left.
    const int titleWidth = std::max(153, StaticText1->fontMetrics().horizontalAdvance(kTitle) + 2);
    StaticText1->setGeometry(376 + 153 - titleWidth, 4, titleWidth, 42);

    laPlayer = new QLabel(kPlayerPlaceholder, Panel1);
    laPlayer->setAlignment(Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute);
    laPlayer->setFont(fonts::plainPixels(11));
    setColours(laPlayer, QPalette::Window, QColor(0x00, 0x40, 0x40), Qt::white);
    laPlayer->adjustSize();
    laPlayer->move(312, 24);
    laPlayerRight_ = 312 + laPlayer->width();

    meComputer = memo({8, 56, 513, 145}, this);
    meComputer->setReadOnly(true);
    meComputer->setFrameShape(QFrame::NoFrame);
    setColours(meComputer, QPalette::Base, QColor(0xD1, 0xE6, 0xE7), Qt::black);

    Label1 = label(QStringLiteral("الحرف المطلوب"), {439, 208}, this);  // Label1: «الحرف المطلوب», beside stLetter
    stLetter = staticText(QStringLiteral("   "), {376, 203, 35, 24}, this);
    stLetter->setAlignment(Qt::AlignCenter);

    stTime = staticText(QStringLiteral("   "), {245, 205, 0, 24}, this);
    stTime->setLayoutDirection(Qt::LeftToRight);
    stTime->setAlignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute);
    fitWidth(stTime);

    Label2 = label(QStringLiteral("الجولة"), {117, 208}, this);  // Label2: «الجولة», beside stRound
    stRound = staticText(QStringLiteral("1"), {72, 203, 0, 24}, this);
    stRound->setLayoutDirection(Qt::LeftToRight);
    stRound->setAlignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute);
    fitWidth(stRound);

    // The values read with their captions.
    Label1->setBuddy(stLetter);
    Label2->setBuddy(stRound);
    stTime->setAccessibleName(kElapsedLabel);

    mePlayer = memo({8, 232, 513, 97}, this);
    nameControl(meComputer, QStringLiteral("بيت الحاسوب"));
    nameControl(mePlayer, QStringLiteral("بيتك"));

    bbSend = pictureButton(QStringLiteral("إرسال"), QStringLiteral(":/pictures/send.png"), {446, 337, 75, 25}, this);
    bbGiveup =
        pictureButton(QStringLiteral("استسلام"), QStringLiteral(":/pictures/giveup.png"), {8, 336, 75, 25}, this);
    connect(bbSend, &QPushButton::clicked, this, guarded([this] { bbSendClick(); }));
    connect(bbGiveup, &QPushButton::clicked, this, guarded([this] { bbGiveupClick(); }));

    // The player's box comes first: it has the focus when the window opens.
    setTabOrder(mePlayer, bbSend);
    setTabOrder(bbSend, bbGiveup);
    setTabOrder(bbGiveup, meComputer);

    // On the free left part of the title strip, so that no designed control moves.
    laTurnTime = new QLabel(kTurnTimeLabel, Panel1);
    laTurnTime->setFont(fonts::plainPixels(13));
    setColours(laTurnTime, QPalette::Window, QColor(0x00, 0x40, 0x40), Qt::white);
    laTurnTime->adjustSize();
    laTurnTime->setBuddy(stTurnTime);
    laTurnTime->move(96, (52 - laTurnTime->height()) / 2);
    stTurnTime = staticText(QStringLiteral("00:00"), {12, 12, 76, 28}, Panel1);
    stTurnTime->setFont(fonts::plainPixels(20));
    stTurnTime->setLayoutDirection(Qt::LeftToRight);
    stTurnTime->setAlignment(Qt::AlignCenter);
    stTurnTime->setAccessibleName(kTurnTimeLabel);
    laTurnTime->hide();
    stTurnTime->hide();

    Timer1 = new QTimer(this);  // Timer1: the game clock, once a second
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
}

void TfmGame::start(const QString& playerName, char letter, const GameOptions& options)
{
    const std::string name = codepage::fromUnicodeOrThrow(playerName);
    PlayerName = playerName;
    RequiredLetter = letter;
    applyOptions(options);

    StartTime = Now();
    RoundCount = 0;
    progress_.start();
    placeLaPlayer();
    UsedTextIDs().clear();
    PlayerVerses().clear();
    mePlayer->clear();

    // The opening turn; the game enters the history after it.
    const bool opened = ComputerTurn();
    CurrentGameID = shell_.store().AddHistory(name, Now());
    progress_.recorded();
    showRound();

    if (!opened) {
        // The computer had nothing to open with: the game ends at once, no window.
        FormHide();
        return;
    }
    ClockRunning clock(*Timer1);
    Dialogs::exec(*this);
}

int TfmGame::PlayerNameLimit()
{
    return shell_.cdsHistory().field("PlayerName").size();
}

void TfmGame::placeLaPlayer()
{
    // The name keeps its right edge and grows to the left, up to the countdown when it shows; a
    // name wider than that room ends in an ellipsis, and its tip and reader hear it whole.
    constexpr int kGap = 8;
    const int left = laTurnTime->isHidden() ? 2 : laTurnTime->geometry().right() + 1 + kGap;
    const QString shown = laPlayer->fontMetrics().elidedText(PlayerName, Qt::ElideRight, laPlayerRight_ - left);
    laPlayer->setText(shown);
    laPlayer->setToolTip(shown == PlayerName ? QString() : PlayerName);
    laPlayer->setAccessibleName(QStringLiteral("المتسابق: %1").arg(PlayerName));
    laPlayer->adjustSize();
    const int width = std::min(laPlayer->width(), laPlayerRight_ - left);
    laPlayer->setGeometry(laPlayerRight_ - width, 24, width, laPlayer->height());
}

void TfmGame::showRound()
{
    stRound->setText(QString::number(RoundCount));
    fitWidth(stRound);
}

void TfmGame::bbSendClick()
{
    // Whatever happens below, the round counter is shown and the player's box has the focus.
    struct Always {
        TfmGame& game;
        ~Always()
        {
            game.showRound();
            game.mePlayer->setFocus();
        }
    } always{*this};

    const QString typed = TrimControls(TypedText(*mePlayer));
    if (typed != TypedText(*mePlayer))
        mePlayer->setPlainText(typed);
    const std::string text = CheckedBytes(typed);

    char endLetter = '\0';
    if (!rules_.PlayerEndLetter(text, endLetter)) {
        QString message = kNoEndLetter;
        if (const QString mark = endMarkDetail(typed, options_.acceptVowelled); !mark.isEmpty())
            message += QLatin1Char('\n') + mark;
        box([&] { Dialogs::warning(message); });
        return;
    }
    const std::string form = rules_.PlayerForm(text);
    if (!checkVerse(form, typed))
        return;
    const std::string required = Shell::NormalizeText(std::string_view(&RequiredLetter, 1));
    if (form.empty() || required.empty() || form.front() != required.front()) {
        box([] { Dialogs::message(kWrongFirstLetter); });
        return;
    }
    if (AlreadySaid(text))
        return;

    // Accepted. The verse is written first: if it cannot be, the turn does not happen.
    shell_.store().AddPlayerPoem(CurrentGameID, StoredBytes(typed));
    AddPlayerVerse(text);
    ComputerTurn();
}

bool TfmGame::ComputerTurn()
{
    const QString said = TypedText(*mePlayer);
    if (!said.isEmpty()) {
        char endLetter = '\0';
        if (rules_.PlayerEndLetter(CheckedBytes(said), endLetter))
            RequiredLetter = endLetter;
    }

    std::string verse;
    char nextLetter = '\0';
    if (PickComputerVerse(std::string_view(&RequiredLetter, 1), verse, nextLetter)) {
        meComputer->setPlainText(QStringLiteral("\n") + BoxText(verse));
        ++RoundCount;
        stLetter->setText(codepage::toUnicode(std::string_view(&nextLetter, 1)));
        RequiredLetter = nextLetter;
        mePlayer->clear();
        turnClock_.startTurn(steadyClock_());
        showTurnTime();
        return true;
    }

    turnClock_.stop();
    progress_.decide();
    Dialogs::message(kDefeated);
    if (isVisible())
        close();
    return false;
}

bool TfmGame::checkVerse(const std::string& form, const QString& typed)
{
    const VerseFault fault = CheckVerseRules(form);
    if (fault == VerseFault::None)
        return true;
    QString message = codepage::toUnicode(VerseFaultMessage(fault));
    if (fault == VerseFault::NotArabic)
        if (const std::optional<char> failing = FirstNotArabic(form))
            message += QLatin1Char('\n') + notArabicDetail(*failing, typed, options_.acceptVowelled);
    box([&] { Dialogs::message(message); });
    return false;
}

void TfmGame::applyOptions(const GameOptions& options)
{
    options_ = options;
    rules_.setAcceptVowelled(options.acceptVowelled);
    rules_.setLevel(options.level);
    turnClock_.setLimit(options.turnSeconds);
    laTurnTime->setVisible(turnClock_.timed());
    stTurnTime->setVisible(turnClock_.timed());
    showTurnTime();
}

void TfmGame::showTurnTime()
{
    if (!turnClock_.timed())
        return;
    const int seconds = turnClock_.secondsShown(steadyClock_());
    const QLatin1Char zero('0');
    stTurnTime->setText(QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero));
    nameWithValue(stTurnTime, kTurnTimeLabel);
    const QColor colour = seconds <= kTurnTimeWarningSeconds ? QColor(Qt::red) : QColor(Qt::blue);
    if (stTurnTime->palette().color(QPalette::WindowText) != colour)
        setColours(stTurnTime, QPalette::Window, Qt::white, colour);
}

void TfmGame::TurnTimeOut()
{
    turnClock_.stop();
    progress_.decide();
    Dialogs::message(kTimeRanOut);
    close();
}

void TfmGame::bbGiveupClick()
{
    if (!box([] { return Dialogs::warningYesNo(kSureToGiveUp); }))
        return;
    progress_.decide();
    close();
}

void TfmGame::Timer1Timer()
{
    // The time of day of the elapsed time: the clock wraps to 00:00:00 after 24 hours.
    const qint64 elapsed = std::llabs(StartTime.msecsTo(Now())) % kDayMs;
    stTime->setText(QTime(0, 0).addMSecs(int(elapsed)).toString(QStringLiteral("hh:mm:ss")));
    nameWithValue(stTime, kElapsedLabel);
    fitWidth(stTime);

    showTurnTime();
    // A box that is not the game's own (an error) holds the time-out back until it closes.
    QWidget* modal = QApplication::activeModalWidget();
    if (turnClock_.runOut(steadyClock_()) && isVisible() && (!modal || modal == this))
        TurnTimeOut();
}

void TfmGame::FormHide()
{
    turnClock_.stop();
    if (!progress_.finish())
        return;
    // Whole minutes, the fraction dropped. A clock set back during the game gives 0, not a
    // negative duration.
    const qint64 minutes = std::max<qint64>(0, StartTime.msecsTo(Now()) / 60000);
    shell_.store().FinishHistory(CurrentGameID, int(minutes), RoundCount, GameEndType());
}

void TfmGame::FormPaint()
{
    QPainter painter(this);
    paintBackdrop(painter, *this);
}

void TfmGame::paintEvent(QPaintEvent*)
{
    FormPaint();
}

void TfmGame::setVisible(bool visible)
{
    // Centred on the screen (the main window's), not on whichever window is active. The frame's
    // size is known once the window exists: the first showing centres it again with it.
    const bool showing = visible && !isVisible();
    if (showing)
        centreOnScreen();
    const QSize outer = frameGeometry().size();
    QDialog::setVisible(visible);
    if (showing && frameGeometry().size() != outer)
        centreOnScreen();
}

void TfmGame::centreOnScreen()
{
    if (QScreen* screen = shell_.mainWindow().screen()) {
        const QSize outer = frameGeometry().size();
        move(screen->availableGeometry().center() - QPoint((outer.width() - 1) / 2, (outer.height() - 1) / 2));
    }
}

void TfmGame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        mePlayer->setFocus();
}

void TfmGame::hideEvent(QHideEvent* event)
{
    // A hide from the window system (minimising) does not end the game.
    if (!event->spontaneous())
        runGuarded([this] { FormHide(); });
    QDialog::hideEvent(event);
}

void TfmGame::keyPressEvent(QKeyEvent* event)
{
    // There is no cancel button: Esc neither gives up nor closes the window.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace barqeen
