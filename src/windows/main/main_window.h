#pragma once
// The main window: a borderless picture with its own title strip, a logo, the version and seven
// picture buttons. It owns the five tables for the whole run.
#include "core/store/pending_edits.h"
#include "core/store/poem_store.h"

#include <QWidget>

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
    // dataDir holds the table files; executablePath is the file whose version is shown.
    TfmMain(const QString& dataDir, const QString& executablePath, QWidget* parent = nullptr);
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

    // Closing without questions (a stop signal): changed pending edits are still posted, and
    // those that cannot be are dropped.
    void closeWithoutQuestions();
    // Shows the window that edits the table's pending row, focus on the field (may be empty).
    void showUnpostedEdit(Table& table, const std::string& fieldName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void FormCreate();
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
};

}  // namespace barqeen
