#pragma once
// The program's windows, created once at start-up in their fixed order (the main window first,
// since the others bind to its tables) and kept until the end. The one place that knows every
// window: what one window asks of another comes here, through the shell, and goes on to the
// window that does it.
#include "windows/main/main_window.h"
#include "windows/shell/shell.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace barqeen {

class TfmMain;
class TfmCategory;
class TfmCategoryEdit;
class TfmPoemEdit;
class TfmGame;
class TfmHistory;
class TfmPlayerPoem;
class TfmStartLetter;
class TfmSearch;

class Program : public Shell {
public:
    // dataDir holds the table files; executablePath is the file whose version is shown.
    // Behind: the main window comes first and the tables are opened once it is on the screen,
    // by afterShow.
    Program(const QString& dataDir, const QString& executablePath,
            TfmMain::TablesOpen tables = TfmMain::TablesOpen::Now);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Right after the main window is first shown, once the tables are open: the files named on the command line are
    // imported in the verse window; without them, a first start on an empty verse table tells
    // the user how to bring verses in.
    void afterShow(const QStringList& files);

    // Declared in creation order; destroyed in the reverse order, the main window last.
    std::unique_ptr<TfmMain> fmMain;
    TfmCategory* fmCategory = nullptr;  // owned by the main window (a Qt child)
    std::unique_ptr<TfmCategoryEdit> fmCategoryEdit;
    std::unique_ptr<TfmPoemEdit> fmPoemEdit;
    std::unique_ptr<TfmGame> fmGame;
    std::unique_ptr<TfmHistory> fmHistory;
    std::unique_ptr<TfmPlayerPoem> fmPlayerPoem;
    std::unique_ptr<TfmSearch> fmSearch;
    std::unique_ptr<TfmStartLetter> fmStartLetter;

    // ---- the shell ----
    PoemStore& store() override;
    VerseSearch& search() override;
    MeterWorker& meterWorker() override;
    bool searchActive() const override;
    void setSearchActive(bool active) override;
    QWidget& mainWindow() override;
    void openVerseWindowAt(const std::string& fieldName) override;
    void openAuthors() override;
    void openCategories() override;
    void openSearch() override;
    void openHistory() override;
    void openRecordedVerses(const QString& playerName, const QDateTime& playTime) override;
    void startGame() override;
    void importStarterCollection() override;
    void verseTableMoved() override;
};

}  // namespace barqeen
