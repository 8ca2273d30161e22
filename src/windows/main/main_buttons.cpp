// The main window's buttons: each asks the shell for the window it opens.
#include "windows/main/main_window.h"
#include "windows/shell/shell.h"
#include "windows/shell/picture_button.h"

#include <QDesktopServices>
#include <QUrl>

namespace barqeen {

void TfmMain::imGameClick()
{
    if (shell_)
        shell_->startGame();
}

void TfmMain::imSearchClick()
{
    if (shell_)
        shell_->openSearch();
}

void TfmMain::importStarterCollection()
{
    if (shell_)
        shell_->importStarterCollection();
}

void TfmMain::imPoemEditClick()
{
    if (shell_)
        shell_->openVerseWindow();
}

void TfmMain::imCategoriesClick()
{
    if (shell_)
        shell_->openCategories();
}

void TfmMain::imAuthorsClick()
{
    if (shell_)
        shell_->openAuthors();
}

void TfmMain::imHistoryClick()
{
    if (shell_)
        shell_->openHistory();
}

void TfmMain::Label2Click()
{
    QDesktopServices::openUrl(QUrl::fromUserInput(Label2->text()));
}

}  // namespace barqeen
