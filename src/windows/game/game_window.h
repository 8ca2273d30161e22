#pragma once
// The game window: the poetic exchange against the computer. The game button asks for the name
// and the start letter (game_start.h); start then resets the game, lets the computer open and
// shows this window modally; the exchange runs here until the window closes.
#include "windows/game/game_progress.h"
#include "core/rules/game_options.h"
#include "core/rules/turn_clock.h"
#include "core/rules/turn_rules.h"

#include <QDateTime>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace barqeen {

class Shell;
class PicturePushButton;

class TfmGame : public QDialog {
    Q_OBJECT
public:
    explicit TfmGame(Shell& shell, QWidget* parent = nullptr);
    ~TfmGame() override;

    // One game: resets the state, lets the computer open, enters the game in the history and
    // shows the window modally until the game ends. A computer with no opening verse ends the
    // game at once, the window not shown. The name is one the code page holds.
    void start(const QString& playerName, char letter, const GameOptions& options);

    // ---- the game state; it stays after a game, until the next one starts ----
    // The name as typed; the name prompt offers it again. Held as typed so that a name the code
    // page cannot hold can be offered again for correction.
    QString PlayerName;
    // The most characters of a name the history keeps: its field's size.
    int PlayerNameLimit();
    QDateTime StartTime;
    int32_t RoundCount = 0;      // verses the computer said in this game, the opening one included
    char RequiredLetter = '\0';  // Windows-1256: the letter the next verse must begin with
    std::vector<int32_t>& UsedTextIDs() { return rules_.UsedTextIDs; }
    std::vector<std::string>& PlayerVerses() { return rules_.PlayerVerses; }
    int32_t CurrentGameID = 0;
    // The end type the history records: 0 closed; 2 given up, out of time or the computer beaten.
    int32_t GameEndType() const { return int32_t(progress_.endKind()); }

    // ---- controls, by their names ----
    QFrame* Panel1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* laPlayer = nullptr;
    QPlainTextEdit* meComputer = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* stLetter = nullptr;
    QLabel* stTime = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* stRound = nullptr;
    QPlainTextEdit* mePlayer = nullptr;
    PicturePushButton* bbSend = nullptr;
    PicturePushButton* bbGiveup = nullptr;
    QTimer* Timer1 = nullptr;
    // The time left for the player's turn, on the title strip; shown only when turns are timed.
    QLabel* laTurnTime = nullptr;
    QLabel* stTurnTime = nullptr;

    // ---- handlers ----
    void bbSendClick();
    void bbGiveupClick();
    void Timer1Timer();

    // ---- the turn rules, owned by the window ----
    void AddUsedText(int32_t id) { rules_.AddUsedText(id); }
    bool IsUsedText(int32_t id) const { return rules_.IsUsedText(id); }
    void AddPlayerVerse(std::string_view text) { rules_.AddPlayerVerse(text); }
    bool SaidByPlayer(std::string_view text) const { return rules_.SaidByPlayer(text); }
    bool SaidByComputer(std::string_view text) { return rules_.SaidByComputer(text); }
    bool AlreadySaid(std::string_view text) { return rules_.AlreadySaid(text); }
    bool PickComputerVerse(std::string_view letter, std::string& verseText, char& nextLetter)
    {
        return rules_.PickComputerVerse(letter, verseText, nextLetter);
    }
    static bool GetEndLetter(std::string_view text, char& letter) { return barqeen::GetEndLetter(text, letter); }
    TurnRules& rules() { return rules_; }

    // The clock the game reads (start, history time, clock, duration); tests set their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    QDateTime Now() const { return clock_(); }
    // The steady clock a timed turn runs on, in milliseconds; tests set their own.
    void setSteadyClock(std::function<int64_t()> clock) { steadyClock_ = std::move(clock); }

    // The player's options for the game about to start.
    void applyOptions(const GameOptions& options);
    const GameOptions& options() const { return options_; }
    const TurnClock& turnClock() const { return turnClock_; }

    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // The computer's move; false when it had no verse (the game is then over).
    bool ComputerTurn();
    // The end of a game: writes the outcome into the game's history row.
    void FormHide();
    void FormPaint();
    void showRound();
    void showTurnTime();
    // The player's turn ran out: the game is lost as if given up.
    void TurnTimeOut();
    // The verse rules on the form of the player's verse; false after showing why it is refused.
    bool checkVerse(const std::string& form, const QString& typed);
    // A message box of the game: the player's turn does not run while it is open.
    template <class Box>
    auto box(Box show);
    void placeLaPlayer();
    void centreOnScreen();

    Shell& shell_;
    TurnRules rules_;
    std::function<QDateTime()> clock_;
    std::function<int64_t()> steadyClock_;
    GameOptions options_;
    TurnClock turnClock_;
    GameProgress progress_;
    int laPlayerRight_ = 0;     // laPlayer keeps its right edge as its text changes
};

}  // namespace barqeen
