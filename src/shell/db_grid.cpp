#include "shell/db_grid.h"

#include "shell/db_controls.h"
#include "shell/guard.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

namespace barqeen {
namespace {

// Draws through the grid's hook, and edits a cell with an editor that fits its field: a text of
// at most the field's size, or the list of the looked-up table's names.
class CellDelegate : public QStyledItemDelegate {
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

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        Field* f = grid_.tableModel().fieldOfColumn(index.column());
        if (f && f->isLookup() && f->lookupSource()) {
            auto* combo = new QComboBox(parent);
            combo->addItem(QString(), QVariant());  // no author
            addRowItems(*combo, *f->lookupSource(), f->lookupResultColumn());
            return combo;
        }
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && f && f->type() == FieldType::String && f->size() > 0)
            line->setMaxLength(f->size());
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(std::max(0, combo->findText(index.data().toString())));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* combo = qobject_cast<QComboBox*>(editor);
        Field* f = grid_.tableModel().fieldOfColumn(index.column());
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
        });
    }

private:
    DBGrid& grid_;
};

}  // namespace

DBGrid::DBGrid(DataSource& source, QWidget* parent) : QTableView(parent), source_(source), model_(source)
{
    setModel(&model_);
    setItemDelegate(new CellDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
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
}

void DBGrid::setReadOnly(bool readOnly)
{
    model_.setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

void DBGrid::followTable()
{
    Table* t = source_.table();
    const int row = t && t->active() ? t->currentPosition() : -1;
    if (row < 0 || row >= model_.rowCount() || following_)
        return;
    following_ = true;
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    // Typing goes to the current cell: keep it on a column that can take it.
    if (!(model_.flags(model_.index(row, column)) & Qt::ItemIsEditable))
        for (int c = 0; c < model_.columnCount(); ++c)
            if (model_.flags(model_.index(row, c)) & Qt::ItemIsEditable) {
                column = c;
                break;
            }
    setCurrentIndex(model_.index(row, column));
    following_ = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    Table* t = source_.table();
    if (following_ || !t || !t->active() || !current.isValid() || current.row() == t->currentPosition())
        return;
    following_ = true;
    runGuarded([&] { t->setRecNo(current.row() + 1); });
    following_ = false;
    followTable();  // back to the table's row when the move was refused
}

}  // namespace barqeen
