#include "app/program.h"

#include "windows/editing/category.h"
#include "windows/editing/category_edit.h"
#include "windows/editing/poem_edit.h"
#include "windows/game/game_window.h"
#include "windows/game/history.h"
#include "windows/game/player_poem.h"
#include "windows/game/start_letter.h"
#include "windows/search/search_window.h"
#include "windows/shell/guard.h"
#include "windows/main/main_window.h"

#include <QTimer>

namespace barqeen {

Program::Program(const QString& dataDir, const QString& executablePath)
{
    fmMain = std::make_unique<TfmMain>(dataDir, executablePath);
    fmMain->setProgram(this);
    fmCategory = new TfmCategory(*fmMain);
    fmCategoryEdit = std::make_unique<TfmCategoryEdit>(*fmMain, fmMain.get());
    fmPoemEdit = std::make_unique<TfmPoemEdit>(*fmMain, *fmCategory, fmMain.get());
    fmGame = std::make_unique<TfmGame>(*fmMain);
    fmHistory = std::make_unique<TfmHistory>(*fmMain, fmMain.get());
    fmPlayerPoem = std::make_unique<TfmPlayerPoem>(*fmMain);
    fmSearch = std::make_unique<TfmSearch>(*fmMain, fmMain.get());
    fmStartLetter = std::make_unique<TfmStartLetter>();
}

void Program::afterShow(const QStringList& files)
{
    if (files.isEmpty()) {
        runGuarded([this] { fmMain->welcomeFirstStart(); });
        return;
    }
    // The import starts inside the verse window's own loop, over the shown window.
    QTimer::singleShot(0, fmPoemEdit.get(), [this, files] { runGuarded([&] { fmPoemEdit->importFiles(files); }); });
    runGuarded([this] { fmMain->imPoemEditClick(); });
}

Program::~Program()
{
    // The windows go first; the main window then closes the tables without reaching them.
    fmStartLetter.reset();
    fmSearch.reset();
    fmPlayerPoem.reset();
    fmHistory.reset();
    fmGame.reset();
    fmPoemEdit.reset();
    fmCategoryEdit.reset();
    fmMain->setProgram(nullptr);
}

}  // namespace barqeen
