#pragma once
// One window for two tables: the authors (poets) and the categories (topics). Its two openers
// bind it to its table, set its texts and height, and show it.
#include "windows/shell/data_source.h"

#include <QDialog>
#include <QStyleOptionViewItem>

class QFrame;
class QLabel;

namespace barqeen {

class Shell;
class DBGrid;
class DBNavigator;
class DBMemo;
class Field;

class TfmCategoryEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfmCategoryEdit(Shell& shell, QWidget* parent = nullptr);

    // The openers: the window on the authors, or on the categories, shown modally.
    void showAuthors();
    void showCategories();

    // The outer height is the window's height with its frame, as the openers give it.
    void setOuterHeight(int height);

    DataSource DataSource1;
    QFrame* Panel1 = nullptr;
    QLabel* stTitle = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QLabel* Label1 = nullptr;
    DBMemo* DBMemo1 = nullptr;

    void DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                             const QStyleOptionViewItem& state);

protected:
    void paintEvent(QPaintEvent*) override;  // FormPaint
    void keyPressEvent(QKeyEvent* event) override;

private:
    Shell& shell_;
};

}  // namespace barqeen
