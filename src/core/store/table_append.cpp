// Many rows added at once (an import): kept apart from table.cpp, which adds rows one by one.
#include "core/common/error.h"
#include "core/store/table.h"

namespace barqeen {

void Table::appendRows(std::vector<Row> rows)
{
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert)
        throw Error("Rows cannot be added while a row is being edited: " + name_);
    if (rows.empty())
        return;
    if (keyField_) {
        const size_t keyColumn = size_t(keyField_->column());
        int64_t key = nextKey_;
        for (const Row& row : rows)
            if (!row.cells[keyColumn].isInteger() || row.cells[keyColumn].integer() != key++)
                throw Error("Rows added at once must carry the next keys in order: " + name_);
    }
    for (const Row& row : rows)
        checkStorable(row);
    rows_.reserve(rows_.size() + rows.size());
    notify(TableEvent::AboutToReset);
    for (Row& row : rows) {
        forgetDerived(row);
        rows_.push_back(std::move(row));
        const auto index = uint32_t(rows_.size() - 1);
        if (letterColumn_ >= 0)
            letterIndex_.added(index, rows_.back().cells[size_t(letterColumn_)]);
        if (filtered_ && passes(rows_.back()))
            visible_.push_back(index);
    }
    if (keyField_)
        nextKey_ += int64_t(rows.size());
    if (cur_ < 0 && recordCount() > 0) {
        cur_ = 0;
        bof_ = true;
    }
    eof_ = recordCount() == 0;  // the cursor's row now has rows after it
    notify(TableEvent::Reset);
    scrolled();
}

}  // namespace barqeen
