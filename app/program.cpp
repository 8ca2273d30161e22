#include "app/program.h"

#include "editing/category_edit.h"
#include "game/game_window.h"
#include "game/history.h"
#include "game/player_poem.h"
#include "game/start_letter.h"
#include "shell/main_window.h"

namespace barqeen {

Program::Program(const QString& dataDir, const QString& executablePath)
{
    fmMain = std::make_unique<TfmMain>(dataDir, executablePath);
    fmMain->setProgram(this);
    fmCategoryEdit = std::make_unique<TfmCategoryEdit>(*fmMain, fmMain.get());
    fmGame = std::make_unique<TfmGame>(*fmMain);
    fmHistory = std::make_unique<TfmHistory>(*fmMain, fmMain.get());
    fmPlayerPoem = std::make_unique<TfmPlayerPoem>(*fmMain);
    fmStartLetter = std::make_unique<TfmStartLetter>();
}

Program::~Program() = default;

}  // namespace barqeen
