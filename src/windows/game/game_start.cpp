#include "windows/game/game_start.h"

#include "windows/game/game_window.h"
#include "windows/game/start_letter.h"
#include "windows/shell/dialogs.h"
#include "core/rules/game_options.h"
#include "core/text/codepage.h"

#include <optional>

namespace barqeen {
namespace {

const QString kGameTitle = QStringLiteral("مطارحة");
const QString kNamePrompt = QStringLiteral("الرجاء كتابة إسم المتسابق");

// The contestant's name, taken as typed; nullopt when the prompt is cancelled. The game keeps the
// last one typed, which the prompt offers next time. A name the code page cannot hold could not
// be recorded: it is offered again, unchanged, for correction.
std::optional<QString> askName(TfmGame& game)
{
    for (;;) {
        const std::optional<QString> typed = Dialogs::input(kGameTitle, kNamePrompt, game.PlayerName);
        if (!typed)
            return std::nullopt;
        game.PlayerName = *typed;
        const codepage::Encoded encoded = codepage::fromUnicode(*typed);
        if (encoded.ok())
            return typed;
        Dialogs::message(codepage::unmappableMessage(*encoded.unmappable));
    }
}

}  // namespace

void playGame(TfmGame& game, TfmStartLetter& startLetter)
{
    const std::optional<QString> name = askName(game);
    if (!name)
        return;
    if (Dialogs::exec(startLetter) != QDialog::Accepted)
        return;
    game.start(*name, startLetter.chosenLetter(), GameOptions::load());
}

}  // namespace barqeen
