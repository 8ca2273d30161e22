#include "windows/shell/grid_accessible.h"

#include "windows/shell/db_grid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHeaderView>
#include <QPointer>

#include <map>

namespace barqeen {
namespace {

class GridAccessible;

// One cell in view, or a column title (row -1). It has no widget of its own: the grid's
// interface makes it, registers it and deletes it.
class GridCell : public QAccessibleInterface {
public:
    GridCell(DBGrid* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override
    {
        return grid_ && column_ < grid_->model()->columnCount() && row_ < grid_->model()->rowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        if (row_ < 0)
            return grid_->model()->headerData(column_, Qt::Horizontal, Qt::DisplayRole).toString();
        return grid_->shownText(grid_->model()->index(row_, column_));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        if (row_ < 0) {
            const QHeaderView* header = grid_->horizontalHeader();
            const QRect r(header->sectionViewportPosition(column_), 0, header->sectionSize(column_), header->height());
            return QRect(header->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        const QRect r = grid_->visualRect(grid_->model()->index(row_, column_));
        return QRect(grid_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        if (row_ >= 0) {
            const QModelIndex index = grid_->model()->index(row_, column_);
            s.selectable = true;
            s.selected = grid_->selectionModel() && grid_->selectionModel()->isSelected(index);
            s.focusable = true;
            s.focused = grid_->hasFocus() && grid_->currentIndex() == index;
        }
        return s;
    }

    int row() const { return row_; }
    int column() const { return column_; }

private:
    QPointer<DBGrid> grid_;
    int row_, column_;
};

class GridAccessible : public QAccessibleWidget {
public:
    explicit GridAccessible(DBGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override
    {
        for (const auto& [cell, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        const auto [first, count] = rowsInView();
        return columns() * (1 + count);
    }
    QAccessibleInterface* child(int index) const override
    {
        const int columns = this->columns();
        if (index < 0 || columns == 0 || index >= childCount())
            return nullptr;
        const int row = index < columns ? -1 : rowsInView().first + index / columns - 1;
        return cell(row, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* c = dynamic_cast<const GridCell*>(child);
        if (!c || !c->isValid())
            return -1;
        if (c->row() < 0)
            return c->column();
        const auto [first, count] = rowsInView();
        if (c->row() < first || c->row() >= first + count)
            return -1;
        return (c->row() - first + 1) * columns() + c->column();
    }
    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = grid()->currentIndex();
        return grid()->hasFocus() && current.isValid() ? cell(current.row(), current.column()) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = grid()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = grid()->indexAt(at);
        return index.isValid() ? cell(index.row(), index.column()) : nullptr;
    }

private:
    DBGrid* grid() const { return static_cast<DBGrid*>(widget()); }
    int columns() const { return grid()->model() ? grid()->model()->columnCount() : 0; }

    // The first row in view and how many: what a person sees is what a reader is shown.
    std::pair<int, int> rowsInView() const
    {
        const int rows = grid()->model() ? grid()->model()->rowCount() : 0;
        if (rows == 0)
            return {0, 0};
        const int first = std::max(0, grid()->rowAt(0));
        int last = grid()->rowAt(grid()->viewport()->height() - 1);
        if (last < 0)
            last = rows - 1;
        return {first, last - first + 1};
    }

    QAccessibleInterface* cell(int row, int column) const
    {
        const auto key = std::make_pair(row, column);
        if (const auto found = cells_.find(key); found != cells_.end())
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(found->second))
                return known;
        auto* made = new GridCell(grid(), row, column);
        cells_[key] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

    // The cells a reader has been given, by row and column, kept so that each keeps its id.
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

}  // namespace

QAccessibleInterface* gridAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(DBGrid::staticMetaObject.className()))
        return new GridAccessible(static_cast<DBGrid*>(object));
    return nullptr;
}

}  // namespace barqeen
