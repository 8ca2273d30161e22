#include "windows/shell/db_grid.h"

#include "windows/shell/db_controls.h"
#include "windows/shell/guard.h"
#include "core/text/codepage.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace barqeen {
namespace {

constexpr QAbstractItemView::EditTriggers kEditTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

// The text of a cell editor as the table would take it; a list editor always fits.
codepage::Encoded encodeEditor(QWidget* editor)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return codepage::fromUnicode(line->text());
    return {};
}

}  // namespace

// Draws through the grid's hook, and edits a cell with an editor that fits its field: a text of
// at most the field's size, or the list of the looked-up table's names.
class DBGrid::CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(DBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!grid_.drawDataCell)
            return;
        if (Field* f = grid_.tableModel().fieldOfColumn(index.column()))
            grid_.drawDataCell(*painter, option.rect, *f, index.data().toString(), option);
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = grid_.shownText(index);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        Field* f = grid_.tableModel().fieldOfColumn(index.column());
        QWidget* editor = nullptr;
        if (f && f->isLookup() && f->lookupSource()) {
            auto* combo = new QComboBox(parent);
            combo->addItem(QString(), QVariant());  // no author
            addRowItems(*combo, *f->lookupSource(), f->lookupResultColumn());
            connect(combo, &QComboBox::activated, &grid_, [this, combo] { grid_.editorTextChanged(combo); });
            editor = combo;
        } else {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
            if (auto* line = qobject_cast<QLineEdit*>(editor)) {
                if (f && f->type() == FieldType::String && f->size() > 0)
                    line->setMaxLength(f->size());
                connect(line, &QLineEdit::textChanged, &grid_, [this, line] { grid_.editorTextChanged(line); });
            }
        }
        grid_.editor_ = editor;
        grid_.editorRefused_ = false;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (grid_.editor_ == editor)
            grid_.editor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QSignalBlocker block(editor);  // showing the value is no change by the user
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(std::max(0, combo->findText(index.data().toString())));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        grid_.committed_ = false;
        auto* combo = qobject_cast<QComboBox*>(editor);
        Field* f = grid_.tableModel().fieldOfColumn(index.column());
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            grid_.committed_ = model->setData(index, line->text(), Qt::EditRole);
            return;
        }
        if (!combo || !f || !f->isLookup())
            return QStyledItemDelegate::setModelData(editor, model, index);
        // A looked-up name is chosen; what is stored is the chosen row's key.
        runGuarded([&] {
            Table& t = *grid_.tableModel().table();
            if (t.currentPosition() != index.row())
                t.setRecNo(index.row() + 1);
            const QVariant key = combo->currentData();
            const Field* keyField = t.fieldOfColumn(f->lookupKeyColumn());
            grid_.dataSource().setFieldFromControl(keyField->name(),
                                                   key.isValid() ? Value(int64_t(key.toLongLong())) : Value());
            grid_.committed_ = true;
        });
    }

private:
    DBGrid& grid_;
};

DBGrid::DBGrid(DataSource& source, QWidget* parent)
    : QTableView(parent), source_(source), sourceAlive_(&source), model_(source)
{
    setModel(&model_);
    setItemDelegate(new CellDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(kEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    // The model has taken the notice first; now bring the current row to the table's.
    connect(&source_, &DataSource::tableEvent, this, [this](const TableEvent& e) {
        if (e.kind == TableEvent::Reset || e.kind == TableEvent::Layout || e.kind == TableEvent::RowInserted ||
            e.kind == TableEvent::RowRemoved || e.kind == TableEvent::Moved || e.kind == TableEvent::StateChanged)
            followTable();
    });
    connect(&source_, &DataSource::tableReplaced, this, &DBGrid::followTable);
    source_.addInput(this);
}

DBGrid::~DBGrid()
{
    if (sourceAlive_)
        sourceAlive_->removeInput(this);
}

void DBGrid::setReadOnly(bool readOnly)
{
    model_.setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : kEditTriggers);
}

void DBGrid::followTable()
{
    Table* t = source_.table();
    const int row = t && t->active() ? t->currentPosition() : -1;
    if (row < 0 || row >= model_.rowCount() || following_ || model_.changing())
        return;
    following_ = true;
    int column = currentIndex().isValid() ? currentIndex().column() : -1;
    if (column < 0) {
        // First showing: typing goes to the first column that can take it.
        column = 0;
        for (int c = 0; c < model_.columnCount(); ++c)
            if (model_.flags(model_.index(row, c)) & Qt::ItemIsEditable) {
                column = c;
                break;
            }
    }
    setCurrentIndex(model_.index(row, column));
    following_ = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // An editor left open on a row the grid has left (the table moved from elsewhere) is dropped.
    if (editor_ && current.row() != previous.row())
        QTableView::closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
    Table* t = source_.table();
    // While rows are being inserted or removed the grid's current row is the view's own
    // business: the table's cursor is brought back by the notice that ends the change.
    if (following_ || model_.changing() || !t || !t->active() || !current.isValid() ||
        current.row() == t->currentPosition())
        return;
    following_ = true;
    source_.act([&] { t->setRecNo(current.row() + 1); });
    following_ = false;
    followTable();  // back to the table's row when the move was refused
}

QString DBGrid::shownText(const QModelIndex& index)
{
    const QString text = index.data().toString();
    const Field* f = model_.fieldOfColumn(index.column());
    if (text.isEmpty() || !f || f->type() != FieldType::DateTime)
        return text;
    return QChar(0x2066) + text + QChar(0x2069);  // left-to-right isolate ... pop directional isolate
}

void DBGrid::fitColumnsGivingRoomTo(const std::string& widest)
{
    roomyField_ = widest;
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(2 * digit);  // the style's minimum is wider than a letter column needs
    int others = 0, roomy = -1;
    for (int c = 0; c < model_.columnCount(); ++c)
        if (const Field* f = model_.fieldOfColumn(c)) {
            const int title = header->fontMetrics().horizontalAdvance(QString::fromStdString(f->displayLabel()));
            const int width = std::max(f->displayWidth() * digit, title) + 12;
            header->resizeSection(c, width);  // the last one stretches to the grid's edge whatever is asked
            if (f->name() == widest)
                roomy = c;
            else
                others += width;
        }
    // Inside the frame, with room for the vertical scroll bar whether it shows or not: the last
    // column stretches over any width left over. (The viewport's own width lags behind while
    // the grid is being laid out.)
    const int room = contentsRect().width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (roomy >= 0)
        header->resizeSection(roomy, std::max(room - others, 10 * digit));
}

// ---------------------------------------------------------------- the cell editor

void DBGrid::editorTextChanged(QWidget* editor)
{
    if (editor != editor_)
        return;
    runGuarded([&] { source_.startEdit(); });
    const codepage::Encoded e = encodeEditor(editor);
    if (e.ok()) {
        editorRefused_ = false;
    } else if (!editorRefused_) {
        editorRefused_ = true;
        refuseIfUnstorable(editor, false);
    }
}

bool DBGrid::refuseIfUnstorable(QWidget* editor, bool select)
{
    const codepage::Encoded e = encodeEditor(editor);
    if (e.ok())
        return false;
    if (!warning_) {
        // The box takes the focus from the editor, which would try to commit again.
        warning_ = true;
        Dialogs::message(codepage::unmappableMessage(*e.unmappable));
        warning_ = false;
    }
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (select && line)
        line->setSelection(int(e.position), *e.unmappable > 0xFFFF ? 2 : 1);
    editor->setFocus();
    return true;
}

void DBGrid::commitData(QWidget* editor)
{
    if (!encodeEditor(editor).ok()) {
        // Said again when the user leaves the editor, but not when the window merely loses
        // the focus to another program.
        if (isActiveWindow())
            refuseIfUnstorable(editor, true);
        return;
    }
    QTableView::commitData(editor);
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // A refused text stays for correction; only Esc (revert) drops it.
    if (hint != QAbstractItemDelegate::RevertModelCache && !encodeEditor(editor).ok()) {
        editor->setFocus();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

bool DBGrid::commitInput()
{
    QWidget* editor = editor_;
    if (!editor)
        return true;
    if (refuseIfUnstorable(editor, true))
        return false;
    committed_ = false;
    QTableView::commitData(editor);
    if (!committed_) {
        editor->setFocus();  // the table refused it and said why; the text stays
        return false;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DBGrid::dropInput()
{
    if (editor_)
        QTableView::closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
}

// ---------------------------------------------------------------- mouse and keys

void DBGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    if (!roomyField_.empty())
        fitColumnsGivingRoomTo(roomyField_);
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    // A click elsewhere in the grid first settles what is being typed; a refused text keeps
    // the focus where it is.
    if (!source_.commitInputs()) {
        event->accept();
        return;
    }
    // The click picks the row under the pointer: the columns stay where they are (a sideways
    // scroll to the cell would hide the columns the user was reading). A left click in a grid
    // that edits may still bring its cell into view.
    keepColumns_ = event->button() != Qt::LeftButton || model_.readOnly();
    pressKeptColumns_ = keepColumns_;
    QTableView::mousePressEvent(event);
    keepColumns_ = false;
    // The move may have dropped an empty new row and scrolled the grid while the click was
    // being taken; the view then highlights the row that came under the pointer. The row the
    // table is on is the one to highlight.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isRowSelected(current.row(), {}))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void DBGrid::timerEvent(QTimerEvent* event)
{
    // The view brings a clicked cell into view a moment after the press (once a double click
    // can no longer come): that scroll keeps the columns as the press itself did.
    keepColumns_ = pressKeptColumns_;
    QTableView::timerEvent(event);
    keepColumns_ = false;
}

void DBGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!keepColumns_)
        return QTableView::scrollTo(index, hint);
    const int column = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(column);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    // A key the refused editor passed on (Page Down, say) would take the grid to another row.
    if (editor_ && !encodeEditor(editor_).ok()) {
        refuseIfUnstorable(editor_, true);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) && state() != EditingState) {
        pasteIntoCell(event);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::pasteIntoCell(QKeyEvent* event)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !(model_.flags(index) & Qt::ItemIsEditable) || !edit(index, EditKeyPressed, event))
        return;
    if (auto* line = qobject_cast<QLineEdit*>(editor_.data())) {
        line->selectAll();
        line->paste();
    }
}

}  // namespace barqeen
