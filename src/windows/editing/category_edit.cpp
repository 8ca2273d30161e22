#include "windows/editing/category_edit.h"

#include "windows/shell/accessibility.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/shell.h"
#include "windows/shell/verse_cell.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace barqeen {
namespace {

// The frame the window was designed with (title bar and borders): client 488 for outer 515.
constexpr int kFrameHeight = 27;
// The system colour of inactive window borders, on which the ID column is drawn.
const QColor kInactiveBorder(0xD4, 0xD0, 0xC8);

}  // namespace

TfmCategoryEdit::TfmCategoryEdit(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFont(fonts::plainPixels(11));
    setFixedSize(392, 488);
    move(169, 15);

    Panel1 = new QFrame(this);  // Panel1: the title strip, with stTitle
    Panel1->setGeometry(0, 0, 392, 52);
    Panel1->setStyleSheet(QStringLiteral("background-color: #004040;"));
    stTitle = new QLabel(Panel1);
    stTitle->setGeometry(88, 4, 297, 42);
    stTitle->setAlignment(Qt::AlignCenter);
    stTitle->setFont(fonts::calligraphicPixels(32));
    stTitle->setStyleSheet(QStringLiteral("color: #FFFF80; background: transparent;"));

    DBGrid1 = new DBGrid(DataSource1, this);  // DBGrid1: the rows of the bound table (authors or categories)
    nameControl(DBGrid1, QStringLiteral("الجدول"));  // named by its table when shown
    DBGrid1->setGeometry(16, 64, 361, 233);
    DBGrid1->drawDataCell = [this](QPainter& p, const QRect& r, Field& f, const QString& text,
                                   const QStyleOptionViewItem& state) { DBGrid1DrawDataCell(p, r, f, text, state); };

    // DBNavigator1: moves, adds, deletes, posts and cancels the rows
    DBNavigator1 = new DBNavigator(DataSource1, this);
    DBNavigator1->setGeometry(136, 304, 240, 25);
    // Whatever started the commit: the navigator, or a click on another row.
    connect(&DataSource1, &DataSource::requiredFieldMissing, this, [this](const QString& name) {
        DBGrid1->setFocus();
        const int column = DBGrid1->tableModel().columnOfField(name.toStdString());
        if (column >= 0)
            DBGrid1->setCurrentIndex(DBGrid1->tableModel().index(DBGrid1->currentIndex().row(), column));
    });

    // A new row is begun by typing its name: the name cell takes the keys.
    connect(DBNavigator1, &DBNavigator::actionDone, this, [this](DBNavigator::Button b) {
        if (b != DBNavigator::Insert || !DataSource1.table())
            return;
        DBGrid1->setFocus();
        DBGrid1->setCurrentIndex(DBGrid1->tableModel().index(DataSource1.table()->currentPosition(), 1));
    });

    Label1 = new QLabel(QStringLiteral("معلومات"), this);  // Label1: «معلومات», over DBMemo1
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->adjustSize();
    Label1->move(339, 336);

    DBMemo1 = new DBMemo(this);  // DBMemo1: the poet's Info (hidden for the categories)
    DBMemo1->setGeometry(16, 352, 361, 121);
    nameControl(DBMemo1, Label1->text());

    setTabOrder(DBGrid1, DBNavigator1);
    setTabOrder(DBNavigator1, DBMemo1);
}

void TfmCategoryEdit::setOuterHeight(int height)
{
    setFixedSize(392, height - kFrameHeight);
}

void TfmCategoryEdit::paintEvent(QPaintEvent*)
{
    shell_.PaintGradient(this);
}

void TfmCategoryEdit::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window, as in the verse window, but never over a changed row not yet posted:
    // the navigator's cancel drops it, its post stores it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && DataSource1.changes()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfmCategoryEdit::DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                                          const QStyleOptionViewItem&)
{
    Table* t = DataSource1.table();
    if (!t || &field != &t->fieldAt(0))
        return;
    field.setReadOnly(true);  // the ID is the table's to give
    drawCellText(painter, rect, text, kInactiveBorder, Qt::black);
}

void TfmCategoryEdit::showAuthors()
{
    Table& authors = shell_.cdsAuthors();
    DataSource1.setTable(&authors);
    authors.field("Info").setVisible(false);
    DBMemo1->link().bind(&DataSource1, "Info");
    DBMemo1->show();
    setOuterHeight(515);
    authors.fieldAt(0).setDisplayLabel("رقم متسلسل");
    authors.fieldAt(1).setDisplayLabel("إسم الشاعر");
    stTitle->setText(QStringLiteral("إضافة وتعديل الشعراء"));
    nameControl(DBGrid1, QStringLiteral("جدول الشعراء"));
    setWindowTitle(QStringLiteral("الشعراء"));
    Dialogs::exec(*this);
}

void TfmCategoryEdit::showCategories()
{
    Table& categories = shell_.cdsCategories();
    DBMemo1->link().unbind();
    DataSource1.setTable(&categories);
    DBMemo1->hide();
    setOuterHeight(360);
    categories.fieldAt(0).setDisplayLabel("رقم متسلسل");
    categories.fieldAt(1).setDisplayLabel("الموضوع");
    stTitle->setText(QStringLiteral("إضافة وتعديل مواضيع الشعر"));
    nameControl(DBGrid1, QStringLiteral("جدول مواضيع الشعر"));
    setWindowTitle(QStringLiteral("المواضيع"));
    Dialogs::exec(*this);
}

}  // namespace barqeen
