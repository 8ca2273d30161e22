#pragma once
// The main window: a borderless picture with its own title strip, a logo, the version and seven
// picture buttons. It owns the five tables for the whole run.
#include "core/store/pending_edits.h"
#include "core/store/poem_store.h"

#include <QFutureWatcher>
#include <QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QFrame;
class QToolButton;

namespace barqeen {

class PictureButton;
class VerseSearch;
class VerseMeters;
class MeterWorker;
class LinkLabel;
class Shell;

class TfmMain : public QWidget {
    Q_OBJECT
public:
    // Now: the tables are open when the window is made. Behind: they are opened by
    // openTablesBehind, once the window is on the screen.
    enum class TablesOpen { Now, Behind };

    // dataDir holds the table files; executablePath is the file whose version is shown.
    TfmMain(const QString& dataDir, const QString& executablePath, TablesOpen when = TablesOpen::Now,
            QWidget* parent = nullptr);
    ~TfmMain() override;

    // What the buttons ask for, answered by the program that made every window. Without it
    // (the window on its own) the buttons that open other windows do nothing.
    void setShell(Shell* shell) { shell_ = shell; }

    PoemStore& store() { return store_; }
    Table& cdsPoem() { return store_.cdsPoem; }
    Table& cdsAuthors() { return store_.cdsAuthors; }
    Table& cdsCategories() { return store_.cdsCategories; }
    Table& cdsHistory() { return store_.cdsHistory; }
    Table& cdsPlayerPoem() { return store_.cdsPlayerPoem; }

    // Controls, by their names.
    QFrame* Panel1 = nullptr;   // the title strip's frame, with its picture and two buttons
    QWidget* Image3 = nullptr;  // the title strip's picture: drags the window
    QToolButton* sbMinimize = nullptr;
    QToolButton* sbClose = nullptr;
    QLabel* Image1 = nullptr;  // the background picture
    QLabel* Image2 = nullptr;  // the logo, «برقين»
    QLabel* laVersion = nullptr;
    PictureButton* imGame = nullptr;
    PictureButton* imSearch = nullptr;
    PictureButton* imPoemEdit = nullptr;
    PictureButton* imCategories = nullptr;
    PictureButton* imAuthors = nullptr;
    PictureButton* imHistory = nullptr;
    PictureButton* imExit = nullptr;
    QLabel* Label1 = nullptr;     // the credit line, «تصميم وبرمجة فريق برقين»
    LinkLabel* Label2 = nullptr;  // the web address, a link

    // The picture buttons: each asks the shell for its window (main_buttons.cpp).
    void imGameClick();
    void imSearchClick();
    void imPoemEditClick();
    // The starter collection, offered at the first start.
    void importStarterCollection();
    void imCategoriesClick();
    void imAuthorsClick();
    void imHistoryClick();
    void imExitClick() { close(); }
    void sbCloseClick() { close(); }
    void sbMinimizeClick() { showMinimized(); }
    void Label2Click();

    // The verse table's after-move hook: the verse window's ticks and count follow every move.
    void cdsPoemAfterScroll();

    // The search: set by the search button, cleared when the search window closes. While it is
    // set the verse table's record filter lets through only the verses the search finds.
    bool SearchActive = false;
    void cdsPoemFilterRecord(const RowRef& row, bool& accept);
    VerseSearch& search() { return *search_; }
    // The meters of all verses, worked out on other threads once the tables are open.
    MeterWorker& meterWorker() { return *meterWorker_; }

    // On the first start in a data folder (the verse table was made by this start) with no verses:
    // tells the user how to bring verses in, with a button that opens the verse window.
    void welcomeFirstStart();

    // The tables opened on another thread while the window stays live (main_opening.cpp). A
    // button whose window needs them waits, with a word on the window, and acts once they are
    // open; the other windows and the hooks are not reached before. beforeOpen runs on that
    // thread first (a test's slow disk).
    void openTablesBehind(std::function<void()> beforeOpen = {});
    // The tables are open, or their opening has ended in an error already shown.
    bool tablesReady() const { return tablesState_ == TablesState::Ready; }
    // Runs the action now when the tables are ready, else as soon as they are.
    void whenTablesReady(std::function<void()> action);
    QLabel* laOpening = nullptr;  // «جارٍ فتح الجداول…», while they open and it takes a while

    // Closing without questions (a stop signal): changed pending edits are still posted, and
    // those that cannot be are dropped.
    void closeWithoutQuestions();
    // Shows the window that edits the table's pending row, focus on the field (may be empty).
    void showUnpostedEdit(Table& table, const std::string& fieldName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildOpeningLabel();
    void FormCreate();
    void showVersion();  // once the tables are open, as the version always followed them
    // Opens the tables on whichever thread calls it; what failed, if anything.
    std::exception_ptr openTables();
    void tablesOpened(std::exception_ptr failure);
    void clickWhenReady(void (TfmMain::*click)());
    void FormClose();
    // At close: posts the changed pending edits; for one that cannot be posted, asks whether to
    // go back to it (false: the close is refused) or to exit without it.
    bool settleUnpostedEdits();
    std::optional<UnpostedEdit> postChangedEdits();

    PoemStore store_;
    std::unique_ptr<VerseSearch> search_;  // after the tables: it watches the verse table
    std::unique_ptr<VerseMeters> meters_;
    std::unique_ptr<MeterWorker> meterWorker_;
    Shell* shell_ = nullptr;
    QString executablePath_;
    bool firstStart_ = false;  // the verse table file did not exist before this start
    bool closed_ = false;
    bool askAtClose_ = true;

    enum class TablesState { Opening, Ready };
    TablesState tablesState_ = TablesState::Opening;
    QFutureWatcher<std::exception_ptr> opening_;
    std::vector<std::function<void()>> whenReady_;  // the program's own, in order
    std::function<void()> waitingClick_;             // the last button clicked while they open
};

}  // namespace barqeen
