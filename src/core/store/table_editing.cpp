// The edit buffer: starting an edit or an insertion, setting cells, posting, cancelling,
// deleting and appending, with the required-field checks. The rest of the table is in table.cpp.
#include "core/common/error.h"
#include "core/store/table.h"

#include <algorithm>
#include <exception>

namespace barqeen {

void Table::setCurrentCell(const Field& f, Value v)
{
    if (state_ != State::Edit && state_ != State::Insert)
        throw Error("Dataset not in edit or insert mode");
    pending_.cells[size_t(f.column())] = std::move(v);
    modified_ = true;
    notify(TableEvent::RowChanged, currentPosition());
}

void Table::settle()
{
    if (state_ == State::Edit || state_ == State::Insert) {
        if (modified_)
            post();
        else
            cancel();
    }
}

void Table::dropPending()
{
    pending_ = Row();
    modified_ = false;
}

void Table::edit()
{
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (!currentRow()) {
        insert();
        return;
    }
    pending_ = *currentRow();
    modified_ = false;
    setState(State::Edit);
}

void Table::insert()
{
    append();
}

void Table::append()
{
    requireActive();
    settle();
    notify(TableEvent::RowAboutToBeInserted, recordCount());
    pending_ = Row{Cells(size_t(storedColumns_)), Value()};
    modified_ = false;
    bof_ = eof_ = false;
    setState(State::Insert);
    notify(TableEvent::RowInserted, recordCount());
    scrolled();
}

void Table::checkRequiredForPost() const
{
    for (const auto& f : fields_) {
        if (!f->required() || f->readOnly() || f->isLookup() || f->type() == FieldType::AutoIncrement)
            continue;
        // A memo erased to empty text holds nothing, as one never typed in.
        const Value& v = pending_.cells[size_t(f->column())];
        if (v.isNull() || (f->type() == FieldType::Memo && v.isText() && v.text().empty()))
            throw RequiredFieldError(format("Field '%s' must have a value", {f->displayLabel()}), f->name());
    }
}

void Table::checkStorable(const Row& row) const
{
    for (const auto& f : fields_) {
        if (!f->required() || f->isLookup() || f->type() == FieldType::AutoIncrement)
            continue;
        const Value& v = row.cells[size_t(f->column())];
        if (v.isNull() || (v.isText() && v.text().empty()))
            throw RequiredFieldError("Field value required.", f->name());
    }
}

void Table::post()
{
    requireActive();
    if (state_ == State::Edit) {
        checkRequiredForPost();
        checkStorable(pending_);
        commitEdit();
    } else if (state_ == State::Insert) {
        checkRequiredForPost();
        checkStorable(pending_);
        commitInsert();
    }
}

void Table::commitInsert()
{
    Row row = pending_;
    if (keyField_)
        row.cells[size_t(keyField_->column())] = Value(nextKey_);
    forgetDerived(row);
    if (storage_)
        storage_->rowAdded(row, nextKey_ + 1);
    const int oldPosition = recordCount();
    const bool shown = !filtered_ || passes(row);
    if (!shown)
        notify(TableEvent::RowAboutToBeRemoved, oldPosition);
    rows_.push_back(std::move(row));
    ++nextKey_;
    if (letterColumn_ >= 0)
        letterIndex_.added(uint32_t(rows_.size() - 1), rows_.back().cells[size_t(letterColumn_)]);
    if (filtered_ && shown)
        visible_.push_back(uint32_t(rows_.size() - 1));
    dropPending();
    state_ = State::Browse;
    cur_ = recordCount() - 1;  // the new row, or the last shown one when the filter hides it
    bof_ = eof_ = recordCount() == 0;
    notify(shown ? TableEvent::RowChanged : TableEvent::RowRemoved, oldPosition);
    notify(TableEvent::StateChanged);
}

void Table::commitEdit()
{
    const int rowIndex = rowIndexAtPosition(cur_);
    Row row = pending_;
    forgetDerived(row);
    if (storage_)
        storage_->rowChanged(row);
    const bool stillShown = !filtered_ || passes(row);
    if (!stillShown)
        notify(TableEvent::RowAboutToBeRemoved, cur_);
    if (letterColumn_ >= 0)
        letterIndex_.changed(uint32_t(rowIndex), rows_[size_t(rowIndex)].cells[size_t(letterColumn_)],
                             row.cells[size_t(letterColumn_)]);
    rows_[size_t(rowIndex)] = std::move(row);
    dropPending();
    state_ = State::Browse;
    if (!stillShown) {
        visible_.erase(visible_.begin() + cur_);
        const int removedAt = cur_;
        cur_ = std::min(cur_, recordCount() - 1);
        bof_ = eof_ = recordCount() == 0;
        notify(TableEvent::RowRemoved, removedAt);
    } else {
        notify(TableEvent::RowChanged, cur_);
    }
    notify(TableEvent::StateChanged);
}

void Table::cancel()
{
    if (state_ == State::Insert) {
        notify(TableEvent::RowAboutToBeRemoved, recordCount());
        dropPending();
        state_ = State::Browse;
        bof_ = eof_ = recordCount() == 0;
        notify(TableEvent::RowRemoved, recordCount());
        notify(TableEvent::StateChanged);
        scrolled();
    } else if (state_ == State::Edit) {
        dropPending();
        state_ = State::Browse;
        notify(TableEvent::RowChanged, cur_);
        notify(TableEvent::StateChanged);
    }
}

void Table::remove()
{
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (!currentRow())
        throw Error("Cannot perform this operation on an empty dataset");
    const int rowIndex = rowIndexAtPosition(cur_);
    if (storage_ && keyField_)
        storage_->rowDeleted(rows_[size_t(rowIndex)].cells[size_t(keyField_->column())].integer());
    notify(TableEvent::RowAboutToBeRemoved, cur_);
    if (state_ == State::Edit) {
        dropPending();
        state_ = State::Browse;
        notify(TableEvent::StateChanged);
    }
    if (letterColumn_ >= 0)
        letterIndex_.removed(uint32_t(rowIndex), rows_[size_t(rowIndex)].cells[size_t(letterColumn_)]);
    rows_.erase(rows_.begin() + rowIndex);
    if (filtered_) {
        visible_.erase(visible_.begin() + cur_);
        for (auto it = visible_.begin() + cur_; it != visible_.end(); ++it)
            --*it;
    }
    const int removedAt = cur_;
    cur_ = std::min(cur_, recordCount() - 1);
    bof_ = eof_ = recordCount() == 0;
    notify(TableEvent::RowRemoved, removedAt);
    scrolled();
}

void Table::appendRecord(const std::vector<Value>& values)
{
    requireActive();
    settle();
    if (values.size() > fields_.size())
        throw Error("Too many values for the table's fields");
    Row row{Cells(size_t(storedColumns_)), Value()};
    for (size_t i = 0; i < values.size(); ++i) {
        const Field& f = *fields_[i];
        if (values[i].isNull())
            continue;
        if (f.isLookup() || f.type() == FieldType::AutoIncrement)
            throw Error(format("Field '%s' cannot be modified", {f.displayLabel()}));
        row.cells[size_t(f.column())] = f.convert(values[i]);
    }
    checkStorable(row);
    const int newPosition = recordCount();
    notify(TableEvent::RowAboutToBeInserted, newPosition);
    pending_ = std::move(row);
    modified_ = true;
    state_ = State::Insert;
    notify(TableEvent::RowInserted, newPosition);
    try {
        commitInsert();
    } catch (...) {
        notify(TableEvent::RowAboutToBeRemoved, newPosition);
        dropPending();
        state_ = State::Browse;
        notify(TableEvent::RowRemoved, newPosition);
        throw;
    }
    scrolled();
}

Value Table::valueAt(int position, const Field& f) const
{
    const Row* row = nullptr;
    if ((state_ == State::Insert && position == recordCount()) || (state_ == State::Edit && position == cur_))
        row = &pending_;
    else if (position >= 0 && position < recordCount())
        row = &rows_[size_t(rowIndexAtPosition(position))];
    if (!row)
        return Value();
    if (!f.isLookup())
        return row->cells[size_t(f.column())];
    const Value& key = row->cells[size_t(f.lookupKeyColumn_)];
    if (!key.isInteger() || !f.lookupSource_->active())
        return Value();
    return f.lookupSource_->lookupByKey(key.integer(), f.lookupResultColumn_).value_or(Value());
}

void Table::refresh()
{
    requireActive();
    // The tables are read whole from their files and have no source to refresh from.
    throw Error("Missing data provider or data packet");
}

void Table::fieldsChanged()
{
    notify(TableEvent::Layout);
}

}  // namespace barqeen
