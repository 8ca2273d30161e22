// The main window's game button: one game from the name prompt to its end.
#include "windows/game/game_window.h"
#include "windows/game/start_letter.h"
#include "windows/shell/dialogs.h"
#include "windows/main/main_window.h"
#include "app/program.h"
#include "core/text/codepage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

namespace barqeen {
namespace {

const QString kGameTitle = QStringLiteral("مطارحة");
const QString kNamePrompt = QStringLiteral("الرجاء كتابة إسم المتسابق");

// The game clock runs only while the game window is shown.
struct ClockRunning {
    QTimer& timer;
    explicit ClockRunning(QTimer& t) : timer(t) { timer.start(); }
    ~ClockRunning() { timer.stop(); }
};

}  // namespace

void TfmMain::imGameClick()
{
    TfmGame& game = *program().fmGame;
    TfmStartLetter& startLetter = *program().fmStartLetter;

    // The contestant's name, taken as typed. A name the code page cannot hold could not be
    // recorded: it is offered again, unchanged, for correction.
    std::string name;
    for (;;) {
        const std::optional<QString> typed = Dialogs::input(kGameTitle, kNamePrompt, game.PlayerName);
        if (!typed)
            return;
        game.PlayerName = *typed;
        const codepage::Encoded encoded = codepage::fromUnicode(*typed);
        if (encoded.ok()) {
            name = encoded.bytes;
            break;
        }
        Dialogs::message(codepage::unmappableMessage(*encoded.unmappable));
    }

    if (Dialogs::exec(startLetter) != QDialog::Accepted)
        return;
    game.RequiredLetter = startLetter.chosenLetter();
    game.applyOptions(GameOptions::load());

    game.StartTime = game.Now();
    game.RoundCount = 0;
    game.GameEndType = 0;
    game.laPlayer->setText(game.PlayerName);
    game.placeLaPlayer();
    game.UsedTextIDs().clear();
    game.PlayerVerses().clear();
    game.mePlayer->clear();

    // The opening turn; the game enters the history after it.
    const bool opened = game.ComputerTurn();
    game.CurrentGameID = store().AddHistory(name, game.Now());
    game.gameRunning_ = true;
    game.showRound();

    if (!opened) {
        // The computer had nothing to open with: the game ends at once, no window.
        game.FormHide();
        return;
    }
    ClockRunning clock(*game.Timer1);
    Dialogs::exec(game);
}

}  // namespace barqeen
