// The filter: the parsed filter text, the per-row callback and the switch, and the visible rows
// they make. The rest of the table is in table.cpp.
#include "core/common/error.h"
#include "core/store/table.h"

#include <algorithm>

namespace barqeen {
namespace {

bool matches(const Value& cell, const Value& literal)
{
    if (cell.isNull())
        return false;
    if (literal.isInteger()) {
        if (cell.isInteger())
            return cell.integer() == literal.integer();
        return cell.text() == std::to_string(literal.integer());
    }
    if (cell.isInteger())
        return std::to_string(cell.integer()) == literal.text();
    return cell.text() == literal.text();
}

}  // namespace

bool Table::passes(const Row& row) const
{
    if (!filterExpr_.empty()) {
        const Field& f = *fields_[size_t(filterExpr_.fieldIndex)];
        if (f.isLookup() || !matches(row.cells[size_t(f.column())], filterExpr_.literal))
            return false;
    }
    return !filterCallback_ || filterCallback_(RowRef(*this, row));
}

void Table::rebuildVisible()
{
    visible_.clear();
    if (!filtered_)
        return;
    const bool indexed = letterColumn_ >= 0 && !filterExpr_.empty() && filterExpr_.literal.isText() &&
                         fields_[size_t(filterExpr_.fieldIndex)]->column() == letterColumn_;
    if (!indexed) {
        for (size_t i = 0; i < rows_.size(); ++i)
            if (passes(rows_[i]))
                visible_.push_back(uint32_t(i));
        return;
    }
    // The index holds exactly the rows that match the filter text; only the callback is left.
    const std::vector<uint32_t>& candidates = letterIndex_.rowsWith(filterExpr_.literal.text());
    if (!filterCallback_) {
        visible_ = candidates;
        return;
    }
    for (const uint32_t i : candidates)
        if (filterCallback_(RowRef(*this, rows_[i])))
            visible_.push_back(i);
}

void Table::afterFilterChange()
{
    notify(TableEvent::AboutToReset);
    rebuildVisible();
    cur_ = -1;  // the old position may lie past the new rows: no current row until first()
    notify(TableEvent::Reset);
    first();
}

void Table::setFilterText(std::string text)
{
    FilterExpression expr = parseFilter(text, [this](std::string_view name) {
        const Field* f = findField(name);
        return f ? f->index() : -1;
    });
    applyFilter(std::move(text), std::move(expr));
}

void Table::setFilter(std::string_view fieldName, Value value)
{
    // An unknown field throws, as a bad text does.
    std::string text = filterTextOf(fieldName, value);
    applyFilter(std::move(text), equalsFilter(field(fieldName).index(), std::move(value)));
}

void Table::applyFilter(std::string text, FilterExpression expr)
{
    if (filtered_ && active())
        settle();
    filterText_ = std::move(text);
    filterExpr_ = std::move(expr);
    if (filtered_ && active())
        afterFilterChange();
}

void Table::setFiltered(bool on)
{
    if (active())
        settle();
    filtered_ = on;
    if (active())
        afterFilterChange();
}

void Table::setFilterCallback(std::function<bool(const RowRef&)> accepts)
{
    filterCallback_ = std::move(accepts);
}

void Table::refilter()
{
    requireActive();
    // A pending edit whose row is still shown stays pending: only the rows around it change.
    const int row = cur_ >= 0 ? rowIndexAtPosition(cur_) : -1;
    const bool stillShown = row >= 0 && (!filtered_ || passes(rows_[size_t(row)]));
    if (state_ == State::Insert || (state_ == State::Edit && stillShown)) {
        notify(TableEvent::AboutToReset);
        rebuildVisible();
        cur_ = row >= 0 ? positionOfRow(row) : -1;
        if (cur_ < 0 && recordCount() > 0)
            cur_ = 0;
        bof_ = cur_ <= 0;
        eof_ = false;
        notify(TableEvent::Reset);
        scrolled();
        return;
    }
    settle();
    afterFilterChange();
}

}  // namespace barqeen
