#include "app/program.h"

#include "windows/shell/starter_collection.h"

#include "windows/editing/category.h"
#include "windows/editing/category_edit.h"
#include "windows/editing/poem_edit.h"
#include "windows/game/game_start.h"
#include "windows/game/game_window.h"
#include "windows/game/history.h"
#include "windows/game/player_poem.h"
#include "windows/game/start_letter.h"
#include "windows/main/main_window.h"
#include "windows/search/search_window.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/guard.h"

#include <QTimer>

namespace barqeen {

Program::Program(const QString& dataDir, const QString& executablePath, TfmMain::TablesOpen tables)
{
    fmMain = std::make_unique<TfmMain>(dataDir, executablePath, tables);
    fmMain->setShell(this);
    fmCategory = new TfmCategory(*this, fmMain.get());
    fmCategoryEdit = std::make_unique<TfmCategoryEdit>(*this, fmMain.get());
    fmPoemEdit = std::make_unique<TfmPoemEdit>(*this, *fmCategory, fmMain.get());
    fmGame = std::make_unique<TfmGame>(*this);
    fmHistory = std::make_unique<TfmHistory>(*this, fmMain.get());
    fmPlayerPoem = std::make_unique<TfmPlayerPoem>(*this);
    fmSearch = std::make_unique<TfmSearch>(*this, fmMain.get());
    fmStartLetter = std::make_unique<TfmStartLetter>();
}

void Program::afterShow(const QStringList& files)
{
    fmMain->openTablesBehind();  // when they are not open yet
    fmMain->whenTablesReady([this, files] {
        if (files.isEmpty()) {
            fmMain->welcomeFirstStart();
            return;
        }
        // The import starts inside the verse window's own loop, over the shown window.
        QTimer::singleShot(0, fmPoemEdit.get(),
                           [this, files] { runGuarded([&] { fmPoemEdit->importFiles(files); }); });
        fmMain->imPoemEditClick();
    });
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
    fmMain->setShell(nullptr);
}

PoemStore& Program::store()
{
    return fmMain->store();
}

VerseSearch& Program::search()
{
    return fmMain->search();
}

MeterWorker& Program::meterWorker()
{
    return fmMain->meterWorker();
}

bool Program::searchActive() const
{
    return fmMain->SearchActive;
}

void Program::setSearchActive(bool active)
{
    fmMain->SearchActive = active;
}

QWidget& Program::mainWindow()
{
    return *fmMain;
}

void Program::openVerseWindowAt(const std::string& fieldName)
{
    if (!fieldName.empty())
        fmPoemEdit->focusField(fieldName);
    Dialogs::exec(*fmPoemEdit);
}

void Program::openAuthors()
{
    fmCategoryEdit->showAuthors();
}

void Program::openCategories()
{
    fmCategoryEdit->showCategories();
}

void Program::openSearch()
{
    Dialogs::exec(*fmSearch);
}

void Program::openHistory()
{
    fmHistory->open();
}

void Program::openRecordedVerses(const QString& playerName, const QDateTime& playTime)
{
    fmPlayerPoem->open(playerName, playTime);
}

void Program::startGame()
{
    playGame(*fmGame, *fmStartLetter);
}

void Program::importStarterCollection()
{
    // The collection is written out for the import and goes when the import is done.
    auto starter = std::make_shared<StarterCollection>();
    if (starter->path().isEmpty()) {
        Dialogs::error(starter->error());
        return;
    }
    // The import starts inside the verse window's own loop, over the shown window.
    QTimer::singleShot(0, fmPoemEdit.get(), [this, starter] {
        runGuarded([&] { fmPoemEdit->importStarter(starter->path()); });
    });
    openVerseWindow();
}

void Program::verseTableMoved()
{
    if (fmPoemEdit)  // the verse table is opened before the verse window exists
        fmPoemEdit->followVerseTable();
}

}  // namespace barqeen
