#include "windows/editing/poem_edit.h"
#include "windows/shell/letter_items.h"
#include "core/text/letters.h"

#include "windows/editing/category.h"
#include "windows/shell/accessibility.h"
#include "windows/shell/anchors.h"
#include "windows/shell/db_controls.h"
#include "windows/shell/db_grid.h"
#include "windows/shell/db_navigator.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/guard.h"
#include "windows/shell/shell.h"
#include "windows/shell/verse_cell.h"
#include "core/text/codepage.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace barqeen {
namespace {

const QString kAllLetters = QStringLiteral("كل الأحرف");
// The count's right edge keeps this distance to the window's right edge as its text grows.
constexpr int kCountRightGap = 712 - (474 + 10);

QLabel* label(const QString& text, int x, int y, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->adjustSize();
    l->move(x, y);
    return l;
}

// A label over its control ends where the control begins: the dots below the Arabic letters
// would otherwise be hidden behind the control.
void keepAbove(QLabel* label, const QWidget* control)
{
    label->move(label->x(), std::min(label->y(), control->y() - label->height()));
}

DBComboBox* letterBox(QRect geometry, QWidget* parent)
{
    auto* box = new DBComboBox(parent);
    box->addItems(TfmPoemEdit::letterList());
    box->setGeometry(geometry);
    return box;
}

}  // namespace

const QStringList& TfmPoemEdit::letterList()
{
    static const QStringList letters = letterItems(ListedLetters);
    return letters;
}

TfmPoemEdit::TfmPoemEdit(Shell& shell, TfmCategory& category, QWidget* parent)
    : QDialog(parent), shell_(shell), category_(category)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("أضافة/تعديل أبيات الشعر"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(fonts::plainPixels(11));
    resize(712, 513);
    move(47, 25);
    buildControls();
    buildExchangeControls();
    buildMeterLabel();
    category_.setCheckList(clbCategories);
}

void TfmPoemEdit::buildControls()
{
    buildTitle();
    buildLetterChoice();
    buildTableButtons();
    buildGrid();
    buildVerseFields();
    nameAndAnchorControls();
    orderTabs();
}

// The title strip, «إضافة وتعديل أبيات الشعر».
void TfmPoemEdit::buildTitle()
{
    Panel1 = new QFrame(this);  // Panel1: the title strip
    Panel1->setGeometry(0, 0, 712, 52);
    Panel1->setStyleSheet(QStringLiteral("background-color: #004040;"));
    StaticText1 = new QLabel(QStringLiteral("إضافة وتعديل أبيات الشعر"), Panel1);  // StaticText1: the title
    StaticText1->setGeometry(424, 4, 281, 42);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(fonts::calligraphicPixels(32));
    StaticText1->setStyleSheet(QStringLiteral("color: #FFFF80; background: transparent;"));
}

// The first letter the verses are listed by, and their count.
void TfmPoemEdit::buildLetterChoice()
{
    Label1 = label(QStringLiteral("حرف البداية"), 634, 88, this);  // Label1: «حرف البداية», over cbLetter
    cbLetter = new QComboBox(this);
    cbLetter->addItem(kAllLetters);
    cbLetter->addItems(letterList());
    cbLetter->setCurrentIndex(-1);  // no choice until the user makes one
    cbLetter->setGeometry(605, 104, 81, 21);
    connect(cbLetter, &QComboBox::activated, this, [this](int item) { runGuarded([&] { cbLetterClick(item); }); });

    Label6 = label(QStringLiteral("عدد الأبيات"), 508, 96, this);  // Label6: «عدد الأبيات», beside stCount
    stCount = new QLabel(QStringLiteral("0"), this);
    stCount->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    stCount->setAutoFillBackground(true);
    QPalette white = stCount->palette();
    white.setColor(QPalette::Window, Qt::white);
    stCount->setPalette(white);
    stCount->setLayoutDirection(Qt::LeftToRight);
    stCount->move(474, 96);
    fitCount();  // an empty table shows its «0» whole from the start
}

// The buttons that open the categories' and the poets' tables.
void TfmPoemEdit::buildTableButtons()
{
    bbCategory = new QPushButton(QStringLiteral("جدول المواضيع"), this);
    bbCategory->setGeometry(8, 112, 81, 25);
    connect(bbCategory, &QPushButton::clicked, this, guarded([this] { bbCategoryClick(); }));
    bbAuthor = new QPushButton(QStringLiteral("جدول الشعراء"), this);
    bbAuthor->setGeometry(96, 112, 81, 25);
    // Enter belongs to the grid's cells and the memo's lines, not to a button of the window.
    for (QPushButton* b : {bbCategory, bbAuthor})
        b->setAutoDefault(false);
    connect(bbAuthor, &QPushButton::clicked, this, guarded([this] { bbAuthorClick(); }));
}

// The verses and the navigator under them; the window follows the table's notices.
void TfmPoemEdit::buildGrid()
{
    DBGrid1 = new DBGrid(DataSource1, this);  // DBGrid1: the verses
    DBGrid1->setGeometry(8, 144, 689, 153);
    DBGrid1->tableModel().setFieldReadOnly("Text");  // the memo edits it
    DBGrid1->setTabKeyNavigation(false);  // Tab goes on to the next control; the arrows move in the grid
    DBGrid1->drawDataCell = [this](QPainter& p, const QRect& r, Field& f, const QString& text,
                                   const QStyleOptionViewItem& state) { DBGrid1DrawDataCell(p, r, f, text, state); };
    connect(&DataSource1, &DataSource::tableEvent, this, [this](const TableEvent& e) { followTableEvent(e); });
    connect(&DataSource1, &DataSource::tableReplaced, this, &TfmPoemEdit::sizeColumns);
    sizeColumns();

    DBNavigator1 = new DBNavigator(DataSource1, this);  // DBNavigator1: the verse table's moves and edits
    DBNavigator1->setVisibleButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                     DBNavigator::Insert, DBNavigator::Delete, DBNavigator::Edit, DBNavigator::Post,
                                     DBNavigator::Cancel});
    DBNavigator1->setGeometry(453, 304, 225, 25);
    connect(&DataSource1, &DataSource::requiredFieldMissing, this,
            [this](const QString& name) { focusField(name.toStdString()); });
}

void TfmPoemEdit::followTableEvent(const TableEvent& e)
{
    if (e.kind == TableEvent::Reset || e.kind == TableEvent::Layout)
        sizeColumns();
    // A posted new verse or a deleted one changes the count without a move.
    if (e.kind == TableEvent::RowInserted || e.kind == TableEvent::RowRemoved || e.kind == TableEvent::StateChanged)
        showCount();
    // A post that takes the verse out of the filter moves to another one, and a cancel puts
    // the stored set back: either way the ticks show the current verse again, or the next
    // tick would write what they showed into it.
    if (e.kind == TableEvent::StateChanged && !DataSource1.editing())
        category_.ShowPoemCategories();
    if (e.kind != TableEvent::Layout && e.kind != TableEvent::AboutToReset &&
        e.kind != TableEvent::RowAboutToBeInserted && e.kind != TableEvent::RowAboutToBeRemoved)
        showMeter();  // a typed, posted or cancelled text
}

// The current verse's fields: its letters, its text and its categories.
void TfmPoemEdit::buildVerseFields()
{
    Label4 = label(QStringLiteral("حرف البداية"), 381, 320, this);  // Label4: «حرف البداية», beside DBComboBox2
    DBComboBox2 = letterBox({304, 320, 65, 21}, this);              // DBComboBox2: the verse's StartLetter
    DBComboBox2->link().bind(&DataSource1, "StartLetter");
    Label5 = label(QStringLiteral("حرف النهاية"), 243, 320, this);  // Label5: «حرف النهاية», beside DBComboBox1
    DBComboBox1 = letterBox({168, 318, 65, 21}, this);              // DBComboBox1: the verse's EndLetter
    DBComboBox1->link().bind(&DataSource1, "EndLetter");

    Label2 = label(QStringLiteral("نص البيت"), 645, 352, this);  // Label2: «نص البيت», over DBMemo1
    DBMemo1 = new DBMemo(this);                                  // DBMemo1: the verse's Text
    DBMemo1->setGeometry(248, 368, 438, 137);
    DBMemo1->setFont(fonts::plainPixels(13));
    DBMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    DBMemo1->setTabChangesFocus(true);  // Tab goes on to the next control, as in every field
    DBMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->link().bind(&DataSource1, "Text");

    Label3 = label(QStringLiteral("المواضيع"), 184, 352, this);  // Label3: «المواضيع», over clbCategories
    clbCategories = new QListWidget(this);
    clbCategories->setGeometry(16, 371, 217, 134);
    connect(clbCategories, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
        if (!category_.settingTicks())
            runGuarded([this] { clbCategoriesClickCheck(); });
    });
}

// Each control's accessible name is the label over it; the anchors keep the designed gaps as the
// window grows.
void TfmPoemEdit::nameAndAnchorControls()
{
    keepAbove(Label1, cbLetter);
    keepAbove(Label2, DBMemo1);
    keepAbove(Label3, clbCategories);
    for (auto [control, label] : {std::pair<QWidget*, QLabel*>{DBMemo1, Label2}, {clbCategories, Label3}})
        nameControl(control, label->text());
    // Two boxes are captioned «حرف البداية»: the list's filter and the verse's own letter.
    nameControl(cbLetter, QStringLiteral("عرض الأبيات بحرف البداية"));
    nameControl(DBComboBox2, QStringLiteral("حرف بداية البيت"));
    nameControl(DBComboBox1, QStringLiteral("حرف نهاية البيت"));
    Label1->setBuddy(cbLetter);
    Label4->setBuddy(DBComboBox2);
    Label5->setBuddy(DBComboBox1);
    Label6->setBuddy(stCount);  // the count reads with its caption
    nameControl(DBGrid1, QStringLiteral("الأبيات"));

    anchor(Panel1, Qt::TopEdge | Qt::LeftEdge | Qt::RightEdge);
    anchor(StaticText1, Qt::TopEdge | Qt::RightEdge);
    anchor(Label1, Qt::TopEdge | Qt::RightEdge);
    anchor(cbLetter, Qt::TopEdge | Qt::RightEdge);
    anchor(Label6, Qt::TopEdge | Qt::RightEdge);
    anchor(bbCategory, Qt::TopEdge | Qt::LeftEdge);
    anchor(bbAuthor, Qt::TopEdge | Qt::LeftEdge);
    anchor(DBGrid1, Qt::TopEdge | Qt::BottomEdge | Qt::LeftEdge | Qt::RightEdge);
    for (QWidget* w : std::initializer_list<QWidget*>{DBNavigator1, Label4, DBComboBox2, Label5, DBComboBox1, Label2,
                                                      DBMemo1, Label3, clbCategories})
        anchor(w, Qt::RightEdge | Qt::BottomEdge);
}

void TfmPoemEdit::orderTabs()
{
    const QWidget* order[] = {cbLetter,      DBGrid1,     DBNavigator1, DBMemo1, clbCategories,
                              DBComboBox1,   DBComboBox2, bbCategory,   bbAuthor};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

void TfmPoemEdit::sizeColumns()
{
    // The verse column takes the room the others leave: a wider window shows more of each verse.
    DBGrid1->fitColumnsGivingRoomTo("Text");
}

void TfmPoemEdit::placeCount()
{
    stCount->move(width() - kCountRightGap - stCount->width(), stCount->y());
}

void TfmPoemEdit::showCount()
{
    const Table& poem = shell_.cdsPoem();
    const QString count = QString::number(poem.active() ? poem.recordCount() : 0);
    if (stCount->text() == count)
        return;
    stCount->setText(count);
    fitCount();
}

void TfmPoemEdit::fitCount()
{
    stCount->adjustSize();
    stCount->setFixedHeight(17);  // as laid out: the digits need less than the line's height
    placeCount();
}

void TfmPoemEdit::focusField(const std::string& fieldName)
{
    if (!isVisible()) {
        focusOnShow_ = fieldName;  // a hidden control cannot take the focus yet
        return;
    }
    if (fieldName == "Text")
        DBMemo1->setFocus();
    else if (fieldName == "StartLetter")
        DBComboBox2->setFocus();
    else if (fieldName == "EndLetter")
        DBComboBox1->setFocus();
}

bool TfmPoemEdit::event(QEvent* e)
{
    // Activation: when the window is shown, and when a window over it (the poets', the
    // categories', a message box) gives it back the focus. The activation that follows the
    // showing itself is the same one.
    if (e->type() == QEvent::Show) {
        // The controls follow the verse table only while they can be seen: hidden, the window
        // costs the table's moves (a game's, a search's) nothing but its hook.
        DataSource1.setTable(&shell_.cdsPoem());
        justShown_ = true;
        QTimer::singleShot(0, this, [this] { justShown_ = false; });
        runGuarded([this] { FormActivate(); });
    } else if (e->type() == QEvent::WindowActivate && !std::exchange(justShown_, false)) {
        runGuarded([this] { FormActivate(); });
    } else if (e->type() == QEvent::Hide && !isVisible()) {
        DataSource1.setTable(nullptr);
    }
    return QDialog::event(e);
}

void TfmPoemEdit::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window, but never over a changed verse not yet posted: the navigator's
    // cancel drops it, its post stores it (as in the authors and categories window).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && DataSource1.changes()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfmPoemEdit::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    placeCount();
    sizeColumns();
}

void TfmPoemEdit::paintEvent(QPaintEvent*)
{
    shell_.PaintGradient(this);
}

void TfmPoemEdit::FormActivate()
{
    if (!focusOnShow_.empty())
        focusField(std::exchange(focusOnShow_, {}));
    category_.LoadCategoryList();
    category_.ShowPoemCategories();
    showCount();
    showMeter();
}

void TfmPoemEdit::cbLetterClick(int item)
{
    // The list shows the letter whose filter is in effect: until the new one is, it shows the
    // old one, so a refused cell text or a verse that cannot be posted leaves both as they were.
    cbLetter->setCurrentIndex(letterInEffect_);
    if (!DataSource1.commitInputs())  // a letter still being typed in the grid goes in first
        return;
    Table& poem = shell_.cdsPoem();
    // Settles the pending edit first: a verse refused for an empty field gets the focus there.
    const bool done = DataSource1.act([&] {
        if (item <= 0) {
            poem.setFiltered(false);  // goes to the first verse, even when no filter was on
        } else {
            poem.setFilter("StartLetter", Value(codepage::fromUnicodeOrThrow(cbLetter->itemText(item))));
            poem.setFiltered(true);
        }
    });
    if (!done)
        return;
    cbLetter->setCurrentIndex(item);
    letterInEffect_ = item;
}

void TfmPoemEdit::clbCategoriesClickCheck()
{
    // The set is taken before the edit starts: on an empty selection the edit starts a new
    // verse, whose arrival would clear the ticks; the new verse takes the tick instead.
    const std::string text = category_.CheckedCategoriesText();
    DataSource1.setFieldFromControl("Categories", Value(text));
    category_.ShowPoemCategories();
}

void TfmPoemEdit::bbAuthorClick()
{
    shell_.openAuthors();
}

void TfmPoemEdit::bbCategoryClick()
{
    shell_.openCategories();
    category_.LoadCategoryList();
    category_.ShowPoemCategories();
}

void TfmPoemEdit::DBGrid1DrawDataCell(QPainter& painter, const QRect& rect, Field& field, const QString& text,
                                      const QStyleOptionViewItem& state)
{
    drawVerseCell(painter, rect, field, text, state.state & QStyle::State_Selected, DBGrid1->palette());
}

void TfmPoemEdit::followVerseTable()
{
    category_.ShowPoemCategories();
    showCount();
    showMeter();
}

}  // namespace barqeen
