// The main window's hooks on the tables it owns: the verse table's record filter and after-move
// hook, and the way back to an edit that could not be posted.
#include "windows/main/main_window.h"
#include "windows/shell/shell.h"

#include "core/search/verse_search.h"

namespace barqeen {

void TfmMain::cdsPoemAfterScroll()
{
    if (shell_)
        shell_->verseTableMoved();
}

void TfmMain::cdsPoemFilterRecord(const RowRef& row, bool& accept)
{
    if (!SearchActive)
        return;
    accept = search().accepts(row);
}

void TfmMain::showUnpostedEdit(Table& table, const std::string& fieldName)
{
    if (!shell_)
        return;
    if (&table == &cdsPoem())
        shell_->openVerseWindowAt(fieldName);
    else if (&table == &cdsAuthors())
        shell_->openAuthors();
    else if (&table == &cdsCategories())
        shell_->openCategories();
}

}  // namespace barqeen
