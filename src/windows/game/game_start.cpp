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
const QString kNameTooLong =
    QStringLiteral("الاسم أطول مما يحفظه سجل المطارحة: %1 حرفًا على الأكثر، وفي هذا الاسم %2.\nاختصره ليُحفظ كما تراه.");

// The contestant's name, taken as typed; nullopt when the prompt is cancelled. The game keeps the
// last one typed, which the prompt offers next time. A name the code page cannot hold, or longer
// than the history keeps, could not be recorded as typed: it is offered again, unchanged, for
// correction, never cut.
std::optional<QString> askName(TfmGame& game)
{
    for (;;) {
        const std::optional<QString> typed = Dialogs::input(kGameTitle, kNamePrompt, game.PlayerName);
        if (!typed)
            return std::nullopt;
        game.PlayerName = *typed;
        const codepage::Encoded encoded = codepage::fromUnicode(*typed);
        if (!encoded.ok()) {
            Dialogs::message(codepage::unmappableMessage(*encoded.unmappable));
            continue;
        }
        const int limit = game.PlayerNameLimit();
        if (int(encoded.bytes.size()) <= limit)
            return typed;
        Dialogs::message(kNameTooLong.arg(limit).arg(encoded.bytes.size()));
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
