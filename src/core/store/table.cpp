// The table's definitions, state, reading, cursor moves and notices to views. The edit buffer is
// in table_editing.cpp, the filter in table_filter.cpp, many rows at once in table_append.cpp.
#include "core/store/table.h"

#include "core/common/error.h"

#include <algorithm>
#include <exception>

namespace barqeen {
namespace {

const Value kNull;

}  // namespace

std::string_view RowRef::derivedText() const
{
    return table_.derivedText(row_);
}

const Value& RowRef::cell(std::string_view fieldName) const
{
    const Field& f = table_.field(fieldName);
    return f.isLookup() ? kNull : row_.cells[size_t(f.column())];
}

Table::Table(std::string name) : name_(std::move(name)) {}

Table::~Table() = default;

// ---------------------------------------------------------------- definitions

void Table::addFieldDef(FieldDef def)
{
    if (size_t(storedColumns_) >= Cells::kMaxColumns)
        throw Error("A table stores at most 8 fields: " + name_);
    auto f = std::make_unique<Field>(*this, std::move(def), storedColumns_++);
    f->index_ = int(fields_.size());
    fields_.push_back(std::move(f));
}

void Table::addIndexDef(IndexDef def)
{
    keyField_ = &field(def.field);
    index_ = std::move(def);
}

void Table::addLookupField(int position, std::string name, int size, std::string keyField,
                           const Table& source, std::string resultField)
{
    auto f = std::make_unique<Field>(*this, FieldDef{std::move(name), FieldType::String, size, false}, -1);
    f->lookupSource_ = &source;
    f->lookupKeyColumn_ = field(keyField).column();
    f->lookupResultColumn_ = source.field(resultField).column();
    fields_.insert(fields_.begin() + position, std::move(f));
    for (size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->index_ = int(i);
}

void Table::setDerivedText(std::string fieldName, std::function<void(std::string_view, std::string&)> derive)
{
    derivedColumn_ = field(fieldName).column();
    deriveFn_ = std::move(derive);
}

void Table::setLetterIndex(std::string fieldName)
{
    letterColumn_ = field(fieldName).column();
    letterIndex_.rebuild(rows_, letterColumn_);
}

std::vector<FieldDef> Table::storedFieldDefs() const
{
    std::vector<FieldDef> defs;
    for (const auto& f : fields_)
        if (!f->isLookup())
            defs.push_back(f->def());
    return defs;
}

void Table::createDataSet()
{
    load({}, 1);
}

Field* Table::findField(std::string_view name)
{
    for (auto& f : fields_)
        if (f->name() == name)
            return f.get();
    return nullptr;
}

const Field* Table::findField(std::string_view name) const
{
    return const_cast<Table*>(this)->findField(name);
}

const Field* Table::fieldOfColumn(int column) const
{
    for (const auto& f : fields_)
        if (f->column() == column)
            return f.get();
    return nullptr;
}

Field& Table::field(std::string_view name)
{
    if (Field* f = findField(name))
        return *f;
    throw Error(format("Field '%s' not found", {name}));
}

const Field& Table::field(std::string_view name) const
{
    return const_cast<Table*>(this)->field(name);
}

// ---------------------------------------------------------------- state

void Table::requireActive() const
{
    if (state_ == State::Inactive)
        throw Error("Cannot perform this operation on a closed dataset");
}

void Table::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    notify(TableEvent::StateChanged);
}

void Table::close()
{
    if (state_ == State::Inactive)
        return;
    notify(TableEvent::AboutToReset);
    dropPending();
    rows_.clear();
    rows_.shrink_to_fit();
    arena_ = TextArena();  // after the rows that point into it
    visible_.clear();
    letterIndex_.clear();
    cur_ = -1;
    bof_ = eof_ = true;
    state_ = State::Inactive;
    notify(TableEvent::Reset);
}

void Table::load(std::vector<Row> rows, int64_t nextKey, TextArena arena)
{
    notify(TableEvent::AboutToReset);
    rows_ = std::move(rows);
    arena_ = std::move(arena);
    nextKey_ = nextKey;
    if (letterColumn_ >= 0)
        letterIndex_.rebuild(rows_, letterColumn_);
    state_ = State::Browse;
    modified_ = false;
    rebuildVisible();
    cur_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount() == 0;
    notify(TableEvent::Reset);
    scrolled();
}

std::string_view Table::derivedText(const Row& row) const
{
    if (derivedColumn_ < 0)
        return {};
    if (row.derived.isNull()) {
        deriveFn_(row.cells[size_t(derivedColumn_)].text(), deriveBuffer_);
        row.derived = Value(std::string_view(deriveBuffer_));
    }
    return row.derived.text();
}

// ---------------------------------------------------------------- reading

int Table::recordCount() const
{
    return int(filtered_ ? visible_.size() : rows_.size());
}

int Table::rowIndexAtPosition(int position) const
{
    return filtered_ ? int(visible_[size_t(position)]) : position;
}

int Table::positionOfRow(int rowIndex) const
{
    if (!filtered_)
        return rowIndex;
    const auto it = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(rowIndex));
    return it != visible_.end() && *it == uint32_t(rowIndex) ? int(it - visible_.begin()) : -1;
}

int Table::findRowByKey(int64_t key) const
{
    if (!keyField_)
        return -1;
    const size_t col = size_t(keyField_->column());
    // Keys are given 1, 2, 3, ... so a row often still sits at its key's place.
    if (key >= 1 && key <= int64_t(rows_.size()) && rows_[size_t(key - 1)].cells[col].integer() == key)
        return int(key - 1);
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), key,
                                     [col](const Row& r, int64_t k) { return r.cells[col].integer() < k; });
    return it != rows_.end() && it->cells[col].integer() == key ? int(it - rows_.begin()) : -1;
}

int Table::countRowsWith(std::string_view fieldName, std::string_view text) const
{
    const int column = field(fieldName).column();
    if (column >= 0 && column == letterColumn_)
        return int(letterIndex_.rowsWith(text).size());
    return int(std::count_if(rows_.begin(), rows_.end(), [&](const Row& r) {
        const Value& v = r.cells[size_t(column)];
        return !v.isNull() && v.text() == text;
    }));
}

std::optional<Value> Table::lookupByKey(int64_t key, int column) const
{
    const int i = findRowByKey(key);
    if (i < 0)
        return std::nullopt;
    return rows_[size_t(i)].cells[size_t(column)];
}

const Row* Table::currentRow() const
{
    if (state_ == State::Inactive || cur_ < 0)
        return nullptr;
    return &rows_[size_t(rowIndexAtPosition(cur_))];
}

int Table::currentPosition() const
{
    return state_ == State::Insert ? recordCount() : cur_;
}

int Table::recNo() const
{
    if (state_ == State::Insert)
        return recordCount() + 1;
    return cur_ + 1;
}

const Value& Table::currentCell(const Field& f) const
{
    if (state_ == State::Edit || state_ == State::Insert)
        return pending_.cells[size_t(f.column())];
    const Row* row = currentRow();
    return row ? row->cells[size_t(f.column())] : kNull;
}

Value Table::lookupValue(const Field& f) const
{
    return valueAt(currentPosition(), f);
}

// ---------------------------------------------------------------- moving

void Table::scrolled()
{
    if (batchDepth_ > 0) {
        scrollPending_ = true;
        return;
    }
    notify(TableEvent::Moved, cur_);
    if (afterScroll_)
        afterScroll_();
}

void Table::first()
{
    requireActive();
    settle();
    cur_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount() == 0;
    scrolled();
}

void Table::next()
{
    requireActive();
    settle();
    if (eof_)
        return;
    if (cur_ + 1 < recordCount()) {
        ++cur_;
        bof_ = false;
    } else {
        eof_ = true;
    }
    scrolled();
}

void Table::prior()
{
    requireActive();
    settle();
    if (bof_)
        return;
    if (cur_ > 0) {
        --cur_;
        eof_ = false;
    } else {
        bof_ = true;
    }
    scrolled();
}

void Table::last()
{
    requireActive();
    settle();
    cur_ = recordCount() - 1;
    eof_ = true;
    bof_ = recordCount() == 0;
    scrolled();
}

void Table::setRecNo(int recNo)
{
    requireActive();
    settle();
    const int count = recordCount();
    if (count == 0)
        return;
    const int target = std::clamp(recNo, 1, count) - 1;
    if (target == cur_)
        return;
    cur_ = target;
    bof_ = eof_ = false;
    scrolled();
}

bool Table::locate(std::string_view fieldName, const Value& value)
{
    requireActive();
    const Field& f = field(fieldName);
    settle();
    int position = -1;
    if (&f == keyField_ && (value.isInteger() || value.isText())) {
        const Value key = f.convert(value);
        const int row = key.isInteger() ? findRowByKey(key.integer()) : -1;
        position = row >= 0 ? positionOfRow(row) : -1;
    } else {
        const std::string wanted = f.toString(f.isLookup() ? value : f.convert(value));
        for (int p = 0, n = recordCount(); p < n && position < 0; ++p) {
            const Row& r = rows_[size_t(rowIndexAtPosition(p))];
            if (!f.isLookup() && f.toString(r.cells[size_t(f.column())]) == wanted)
                position = p;
        }
    }
    if (position < 0)
        return false;
    cur_ = position;
    bof_ = eof_ = false;
    scrolled();
    return true;
}

// ---------------------------------------------------------------- notices

int Table::addObserver(std::function<void(const TableEvent&)> observer)
{
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void Table::removeObserver(int id)
{
    for (auto& [key, observer] : observers_)
        if (key == id)
            observer = nullptr;  // erased once no notice is being delivered
    if (notifying_ == 0)
        std::erase_if(observers_, [](const auto& o) { return !o.second; });
}

void Table::notify(TableEvent::Kind kind, int position)
{
    // Every move sends a notice: no copy of the observers here. One removed while notices go
    // out is only emptied, and erased afterwards; one added then hears the next notice.
    if (observers_.empty())
        return;
    const TableEvent event{kind, position};
    ++notifying_;
    for (size_t i = 0; i < observers_.size(); ++i)
        if (observers_[i].second) {
            // A small copy (the views' observers capture one pointer): an observer added during
            // the call may move the list.
            const auto observer = observers_[i].second;
            observer(event);
        }
    if (--notifying_ == 0)
        std::erase_if(observers_, [](const auto& o) { return !o.second; });
}

Table::ScrollBatch::ScrollBatch(Table& t) : t_(t)
{
    ++t_.batchDepth_;
}

Table::ScrollBatch::~ScrollBatch() noexcept(false)
{
    if (--t_.batchDepth_ > 0 || !t_.scrollPending_)
        return;
    t_.scrollPending_ = false;
    if (std::uncaught_exceptions() == 0)
        t_.scrolled();
}

}  // namespace barqeen
