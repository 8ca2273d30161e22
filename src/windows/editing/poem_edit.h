#pragma once
// The verse editing window: browse, add, change and delete the verses of the main window's verse
// table, by first letter, with their authors and categories. It has no buffer of its own: the
// bound controls change the table, the navigator posts and cancels.
#include "core/prosody/meter_cache.h"
#include "windows/shell/data_source.h"

#include <QDialog>
#include <QStyleOptionViewItem>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace barqeen {

namespace exchange {
struct ImportOptions;
}

class Shell;
class TfmCategory;
class TfmScansion;
class DBComboBox;
class DBGrid;
class DBMemo;
class DBNavigator;
class Field;

class TfmPoemEdit : public QDialog {
    Q_OBJECT
public:
    TfmPoemEdit(Shell& shell, TfmCategory& category, QWidget* parent = nullptr);

    // The 28 letters of the three letter lists, in their order (ق before ف).
    static const QStringList& letterList();

    // Shows the number of verses in the verse table's current selection.
    void showCount();
    // Shows the current verse's meter and feet while the window is on the screen
    // (poem_edit_meter.cpp).
    void showMeter();
    // At every move of the verse table: the ticks, the count and the meter follow the verse.
    void followVerseTable();
    // Puts the input focus on a control bound to the field (a post refused for it being empty).
    void focusField(const std::string& fieldName);

    DataSource DataSource1;
    QFrame* Panel1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbLetter = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* stCount = nullptr;
    QPushButton* bbCategory = nullptr;
    QPushButton* bbAuthor = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QLabel* Label4 = nullptr;
    DBComboBox* DBComboBox2 = nullptr;  // StartLetter
    QLabel* Label5 = nullptr;
    DBComboBox* DBComboBox1 = nullptr;  // EndLetter
    QLabel* Label2 = nullptr;
    DBMemo* DBMemo1 = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* clbCategories = nullptr;
    QLabel* lbMeter = nullptr;  // the meter of the current verse, in the free space above the grid
    QPushButton* bbScansion = nullptr;  // «التقطيع»: the current verse's feet, in a window of their own
    void bbScansionClick();

    void FormActivate();
    void cbLetterClick(int item);
    void clbCategoriesClickCheck();
    void bbAuthorClick();
    void bbCategoryClick();
    void DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                             const QStyleOptionViewItem& state);

    // Verses in and out of files (poem_edit_exchange.cpp): two buttons in the window's free space
    // beside bbAuthor, and a file dropped anywhere on the window.
    QPushButton* bbImport = nullptr;
    QPushButton* bbExport = nullptr;
    QPushButton* bbStarter = nullptr;  // «المختارات»: the starter collection, beside the import
    void bbImportClick();
    void bbExportClick();
    void bbStarterClick();
    // Each file is one import of its own, shown with its progress and then its summary.
    void importFiles(const QStringList& paths, bool windows1256 = false);
    // The starter collection written out at path: imported at once (the user chose it by name),
    // with its progress and summary; verses already in the table are refused as repeats.
    void importStarter(const QString& path);

protected:
    void paintEvent(QPaintEvent*) override;  // FormPaint
    bool event(QEvent* event) override;      // activation runs FormActivate
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void importFile(const QString& path, const exchange::ImportOptions& options);
    void buildControls();
    void buildTitle();
    void buildLetterChoice();
    void buildTableButtons();
    void buildGrid();
    void followTableEvent(const TableEvent& e);
    void buildVerseFields();
    void nameAndAnchorControls();
    void orderTabs();
    void buildExchangeControls();
    void buildMeterLabel();
    bool hasVerseToScan() const;
    void sizeColumns();
    void placeCount();
    void fitCount();  // the count's box as big as its number, its right edge kept

    Shell& shell_;
    TfmCategory& category_;
    std::string focusOnShow_;
    bool justShown_ = false;
    int letterInEffect_ = -1;
    TfmScansion* fmScansion_ = nullptr;  // made the first time it is asked for
    prosody::MeterCache meterCache_;  // cbLetter's item whose filter the window last set
};

}  // namespace barqeen
