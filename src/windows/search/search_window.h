#pragma once
// The search window: words of the verse text and, in a panel that slides open, author, first
// letter, last letter, category and meter. The search is done by the verse table's record filter (the
// main window's cdsPoemFilterRecord); this window only holds the criteria in its controls and
// presses the filter into action.
#include "core/search/search_criteria.h"
#include "windows/shell/data_source.h"

#include <QDialog>
#include <QFuture>
#include <QStyleOptionViewItem>

class QCheckBox;
class QComboBox;
class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QVariantAnimation;

namespace barqeen {

class Shell;
class DBGrid;
class Field;
class PicturePushButton;

class TfmSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfmSearch(Shell& shell, QWidget* parent = nullptr);
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
    QCheckBox* cxMeter = nullptr;
    QComboBox* cbMeter = nullptr;  // the sixteen meters and «غير معروف», as the scanner names them
    QLabel* laMeterProgress = nullptr;  // while the meters of the verses are being worked out
    DBGrid* DBGrid1 = nullptr;

    void FormActivate();
    void FormClose();
    void bbSearchClick();
    void cxAdvancedClick();
    void cxAuthorClick();
    void cxStartLetterClick();
    void cxEndLetterClick();
    void cxCategoryClick();
    void cxMeterClick();
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
    // The matching forms of every verse, made once by the first search.
    enum class FormsState {
        Idle,    // made, or not asked for yet
        Making,  // a worker makes them: the verse table may not change, the search button waits
    };
    // The rows the grid lists, against the criteria.
    enum class AnswersState {
        Current,  // the rows follow the criteria
        Owed,     // the criteria changed while a verse edit was pending: they follow once it is settled
        AwaitingMeters,  // the search asks for a meter before every verse's is known: they follow then
    };

    void buildControls();
    void buildTitle();
    void buildSearchRow();
    void buildCount();
    void buildGrid();
    void buildPanel();
    void buildMeterControls();
    void showMeterProgress();
    bool searchesByMeter() const;
    bool metersKnown() const;
    void waitForMeters();
    void buildSlide();
    void orderTabs();
    void criteriaChanged();
    void showAnswers();
    void setAnswersState(AnswersState state);
    void makeFormsBesideTheWindow();
    void setFormsState(FormsState state);
    void waitForForms();
    void placeGrid(int top);
    void showCount(int count);
    void reloadLists();
    void sizeColumns();

    Shell& shell_;
    FormsState formsState_ = FormsState::Idle;
    QFuture<void> formsWorker_;
    AnswersState answersState_ = AnswersState::Current;
    QEventLoop* untilMetersKnown_ = nullptr;  // while the search button waits for the meters
    // The grid sliding below the opened panel, or up to where the closed panel was.
    QVariantAnimation* slide_ = nullptr;
};

}  // namespace barqeen
