#pragma once
// The search window: words of the verse text and, in a panel that slides open, author, first
// letter, last letter and category. The search is done by the verse table's record filter (the
// main window's cdsPoemFilterRecord); this window only holds the criteria in its controls and
// presses the filter into action.
#include "core/search/search_criteria.h"
#include "windows/shell/data_source.h"

#include <QDialog>

#include <atomic>
#include <exception>
#include <thread>
#include <QStyleOptionViewItem>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace barqeen {

class TfmMain;
class DBGrid;
class Field;
class PicturePushButton;

class TfmSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfmSearch(TfmMain& main, QWidget* parent = nullptr);
    ~TfmSearch() override;

    // The 26 letters of the first-letter and last-letter lists (no ق, no ف).
    static const QStringList& letterList();

    // The criteria as the controls hold them now.
    SearchCriteria criteria() const;

    DataSource DataSource1;  // the verse table, from the first search on
    QFrame* Panel2 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edSearch = nullptr;
    PicturePushButton* bbSearch = nullptr;
    QLabel* LaLabelCount = nullptr;
    QLabel* LaSearchCount = nullptr;
    QCheckBox* cxAdvanced = nullptr;
    QFrame* Panel1 = nullptr;
    QCheckBox* cxAuthor = nullptr;
    QComboBox* dblcAuthor = nullptr;
    QCheckBox* cxStartLetter = nullptr;
    QComboBox* cbStartLetter = nullptr;
    QCheckBox* cxEndLetter = nullptr;
    QComboBox* cbEndLetter = nullptr;
    QCheckBox* cxCategory = nullptr;
    QComboBox* dblcCategory = nullptr;
    DBGrid* DBGrid1 = nullptr;

    void FormActivate();
    void FormClose();
    void bbSearchClick();
    void cxAdvancedClick();
    void cxAuthorClick();
    void cxStartLetterClick();
    void cxEndLetterClick();
    void cxCategoryClick();
    void DBGrid1DblClick();
    void DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                             const QStyleOptionViewItem& state);

protected:
    void paintEvent(QPaintEvent*) override;  // FormPaint
    bool event(QEvent* event) override;      // activation runs FormActivate
    void done(int result) override;          // every way of closing runs FormClose
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildPanel();
    void criteriaChanged();
    void showAnswers();
    void makeFormsBesideTheWindow();
    void waitForForms();
    void placeGrid(int top);
    void showCount(int count);
    void reloadLists();
    void sizeColumns();

    TfmMain& main_;
    bool makingForms_ = false;
    std::thread formsWorker_;  // makes the matching forms during the first search
    std::atomic<bool> formsMade_{true};
    std::exception_ptr formsFailure_;
    int slides_ = 0;  // slides started: a newer one ends the older
    bool answersOwed_ = false;  // the criteria changed while a verse edit was pending
};

}  // namespace barqeen
