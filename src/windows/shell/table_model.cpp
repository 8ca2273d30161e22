#include "windows/shell/table_model.h"

#include <algorithm>

#include "windows/shell/guard.h"
#include "core/store/datetime.h"
#include "core/text/codepage.h"

#include <QLocale>

namespace barqeen {

QString displayText(const Field& field, const Value& value)
{
    if (value.isNull())
        return {};
    if (field.type() == FieldType::DateTime && value.isInteger())
        return QLocale().toString(datetime::toLocal(value.integer()), QLocale::ShortFormat);
    if (value.isInteger())
        return QString::number(value.integer());
    return codepage::toUnicode(value.text());
}

TableModel::TableModel(DataSource& source, QObject* parent) : QAbstractTableModel(parent), source_(source)
{
    connect(&source_, &DataSource::tableEvent, this, &TableModel::onTableEvent);
    connect(&source_, &DataSource::tableReplaced, this, [this] {
        beginResetModel();
        rebuild();
        endResetModel();
    });
    rebuild();
}

void TableModel::rebuild()
{
    columns_.clear();
    rows_ = 0;
    Table* t = table();
    if (!t)
        return;
    for (int i = 0; i < t->fieldCount(); ++i)
        if (t->fieldAt(i).visible())
            columns_.push_back(&t->fieldAt(i));
    if (t->active())
        rows_ = t->recordCount() + (t->state() == Table::State::Insert ? 1 : 0);
}

void TableModel::onTableEvent(const TableEvent& e)
{
    switch (e.kind) {
    case TableEvent::AboutToReset:
        changing_ = true;
        if (!resetting_) {
            resetting_ = true;
            beginResetModel();
        }
        break;
    case TableEvent::Reset:
    case TableEvent::Layout:
        if (!resetting_)
            beginResetModel();
        rebuild();
        resetting_ = false;
        endResetModel();
        changing_ = false;
        break;
    case TableEvent::RowAboutToBeInserted:
        changing_ = true;
        beginInsertRows({}, e.position, e.position);
        break;
    case TableEvent::RowInserted:
        ++rows_;
        endInsertRows();
        changing_ = false;
        break;
    case TableEvent::RowAboutToBeRemoved:
        changing_ = true;
        beginRemoveRows({}, e.position, e.position);
        break;
    case TableEvent::RowRemoved:
        --rows_;
        endRemoveRows();
        changing_ = false;
        break;
    case TableEvent::RowChanged:
        if (e.position >= 0 && e.position < rows_ && !columns_.empty())
            emit dataChanged(index(e.position, 0), index(e.position, int(columns_.size()) - 1));
        break;
    case TableEvent::Moved:
    case TableEvent::StateChanged:
        break;
    }
}

Field* TableModel::fieldOfColumn(int column) const
{
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)] : nullptr;
}

int TableModel::columnOfField(const std::string& name) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i]->name() == name)
            return int(i);
    return -1;
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::AccessibleTextRole) {  // a screen reader says an empty cell is empty
        const QString text = data(index, Qt::DisplayRole).toString();
        return text.isEmpty() && index.isValid() ? QStringLiteral("فارغ") : text;
    }
    if (!index.isValid() || index.row() >= rows_ || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Field* f = fieldOfColumn(index.column());
    if (!f || !table() || !table()->active())
        return {};
    return displayText(*f, table()->valueAt(index.row(), *f));
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const Field* f = fieldOfColumn(section);
    return f ? QString::fromStdString(f->displayLabel()) : QVariant();
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Field* f = fieldOfColumn(index.column());
    if (!readOnly_ && f && !f->readOnly() && f->type() != FieldType::AutoIncrement &&
        std::find(readOnlyFields_.begin(), readOnlyFields_.end(), f->name()) == readOnlyFields_.end())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (value.toString() == data(index, Qt::EditRole).toString())
        return true;
    bool stored = false;
    runGuarded([&] {
        Table& t = *table();
        Field& f = *fieldOfColumn(index.column());
        if (t.currentPosition() != index.row())
            t.setRecNo(index.row() + 1);
        const QString text = value.toString();
        if (f.isLookup())
            throw Error("Field '" + f.displayLabel() + "' cannot be modified");
        source_.setFieldFromControl(f.name(), Value(codepage::fromUnicodeOrThrow(text)));
        stored = true;
    });
    return stored;
}

}  // namespace barqeen
