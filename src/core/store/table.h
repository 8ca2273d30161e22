#pragma once
// The in-memory table with a cursor, the program's own engine: field objects, rows in table
// order, browse / edit / insert with a pending-edit buffer, a filter, an after-move hook and
// change notices for the views. Committed changes are handed to a storage (the table file)
// before they are applied, so a change that cannot be written is not kept in memory either.
#include "core/store/field.h"
#include "core/store/filter_expression.h"
#include "core/store/letter_index.h"
#include "core/store/text_arena.h"
#include "core/store/value.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

// The cells of a row, kept inside the row: a table of a million rows then makes a million
// fewer allocations to read and to free. A table stores at most kMaxColumns fields.
class Cells {
public:
    static constexpr size_t kMaxColumns = 8;

    Cells() = default;
    explicit Cells(size_t count) : size_(count) { check(count); }
    Cells(std::initializer_list<Value> values) : size_(values.size())
    {
        check(size_);
        std::copy(values.begin(), values.end(), cells_.begin());
    }

    size_t size() const { return size_; }
    Value& operator[](size_t i) { return cells_[i]; }
    const Value& operator[](size_t i) const { return cells_[i]; }
    const Value* begin() const { return cells_.data(); }
    const Value* end() const { return cells_.data() + size_; }
    void reserve(size_t) {}
    template <class... Args>
    void emplace_back(Args&&... args)
    {
        check(size_ + 1);
        cells_[size_++] = Value(std::forward<Args>(args)...);
    }
    void push_back(Value v) { emplace_back(std::move(v)); }

private:
    static void check(size_t count)
    {
        if (count > kMaxColumns)
            throw std::length_error("a table row holds at most 8 stored fields");
    }
    std::array<Value, kMaxColumns> cells_{};
    size_t size_ = 0;
};

// A stored row: one cell per stored field, plus a text kept beside one field's text (the
// matching form of a verse). That text is made the first time it is asked for (null until
// then) and dropped whenever the field changes, so opening a table does not pay for it.
struct Row {
    Cells cells;
    mutable Value derived;
};

// What a table hands to its file: each call writes at once or throws, and must leave the file as
// it was when it throws.
class TableStorage {
public:
    virtual ~TableStorage() = default;
    virtual void rowAdded(const Row& row, int64_t nextKey) = 0;
    virtual void rowChanged(const Row& row) = 0;
    virtual void rowDeleted(int64_t key) = 0;
};

// Read access to one row, as the filter callback sees the row it is asked about.
class RowRef {
public:
    RowRef(const Table& table, const Row& row) : table_(table), row_(row) {}
    const Value& cell(int column) const { return row_.cells[size_t(column)]; }
    const Value& cell(std::string_view fieldName) const;
    std::string_view derivedText() const;
    const Table& table() const { return table_; }

private:
    const Table& table_;
    const Row& row_;
};

// Notices for the views (the grids): what changed, at which visible position. A reset, an
// insertion and a removal are announced before the table changes (the "about to" notices) and
// again after, so that a view can still read the old rows in between.
struct TableEvent {
    // Layout: a field's label, width or visibility changed.
    enum Kind {
        AboutToReset, Reset,
        RowAboutToBeInserted, RowInserted,
        RowAboutToBeRemoved, RowRemoved,
        RowChanged, Moved, StateChanged, Layout
    } kind;
    int position = -1;  // 0-based visible position, where it applies
};

class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Table(std::string name);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& name() const { return name_; }

    // ---- definitions (before the table is active) ----
    void addFieldDef(FieldDef def);
    void addIndexDef(IndexDef def);
    // A field that shows source[resultField] of the source row whose key equals this row's
    // keyField. Stored nowhere; inserted among the fields at the given position.
    void addLookupField(int position, std::string name, int size, std::string keyField,
                        const Table& source, std::string resultField);
    // Keeps derive(text of field) beside every row, for fast comparisons.
    void setDerivedText(std::string fieldName, std::function<void(std::string_view, std::string&)> derive);
    // Keeps the rows grouped by this one-character field, so filters on it need not scan.
    void setLetterIndex(std::string fieldName);
    std::vector<FieldDef> storedFieldDefs() const;
    const std::optional<IndexDef>& indexDef() const { return index_; }
    void createDataSet();  // empty and open, key counter at 1

    // ---- fields ----
    int fieldCount() const { return int(fields_.size()); }
    Field& fieldAt(int index) { return *fields_[size_t(index)]; }
    const Field& fieldAt(int index) const { return *fields_[size_t(index)]; }
    Field* findField(std::string_view name);
    const Field* findField(std::string_view name) const;
    Field& field(std::string_view name);  // throws "Field '%s' not found"
    const Field& field(std::string_view name) const;
    const Field* keyField() const { return keyField_; }
    const Field* fieldOfColumn(int column) const;  // the stored field at a row column

    // ---- state ----
    State state() const { return state_; }
    bool active() const { return state_ != State::Inactive; }
    bool modified() const { return modified_; }
    void close();  // drops a pending edit and the rows

    // ---- cursor over the visible rows ----
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    int recNo() const;         // 1-based; 0 without a current row; count + 1 while inserting
    void setRecNo(int recNo);  // out-of-range numbers go to the nearest end
    bool locate(std::string_view fieldName, const Value& value);
    // The visible position of the current row (0-based), or -1; while inserting, recordCount().
    int currentPosition() const;

    // ---- editing ----
    void edit();
    void insert();  // a new row is placed at the end of the table, like an appended one
    void append();
    void post();
    void cancel();
    void remove();  // deletes the current row
    // The table layer cannot refresh: its rows come whole from its file. Always refused.
    void refresh();
    // Appends and commits in one step; values by field position, a null entry leaves the field
    // to the table. Nothing changes when the row is refused.
    void appendRecord(const std::vector<Value>& values);
    // Adds rows at the end in one step, after the caller has had them stored (an import through
    // TableFile's batch): each row carries its key, in order from nextKey(). The views hear one
    // reset and the after-move hook runs once; the cursor stays on its row. Needs no pending edit.
    void appendRows(std::vector<Row> rows);

    // ---- filter ----
    void setFilterText(std::string text);  // parsed at once; a bad text is refused, the old kept
    // The filter "field equals value", given typed: nothing is parsed, and filterText() reads
    // as the program writes such a filter (Field = 'x', Field = n). Unknown field: refused.
    void setFilter(std::string_view fieldName, Value value);
    const std::string& filterText() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }
    void setFilterCallback(std::function<bool(const RowRef&)> accepts);
    // The callback's answers changed: rebuild and go to the first row. A pending edit whose row
    // is still shown, or a pending insertion, is kept, the cursor on its row.
    void refilter();

    // ---- hooks and notices ----
    void setAfterScroll(std::function<void()> hook) { afterScroll_ = std::move(hook); }
    int addObserver(std::function<void(const TableEvent&)> observer);
    void removeObserver(int id);

    // Runs the after-move hook once at the end of a batch instead of at every move inside it;
    // for walks over the whole table, where nobody can see the moves in between.
    class ScrollBatch {
    public:
        explicit ScrollBatch(Table& t);
        ~ScrollBatch() noexcept(false);
        ScrollBatch(const ScrollBatch&) = delete;
        ScrollBatch& operator=(const ScrollBatch&) = delete;

    private:
        Table& t_;
    };

    // ---- rows without moving the cursor ----
    int rowCount() const { return int(rows_.size()); }  // all rows, filtered or not
    const Row& rowAt(int index) const { return rows_[size_t(index)]; }
    // The text kept beside a row (see setDerivedText); empty when the table keeps none.
    std::string_view derivedText(const Row& row) const;
    int rowIndexAtPosition(int position) const;          // visible position -> row index
    int findRowByKey(int64_t key) const;                 // row index or -1; binary search
    // How many rows, filtered or not, hold exactly text in a stored field; the letter-indexed
    // field answers without reading the rows.
    int countRowsWith(std::string_view fieldName, std::string_view text) const;
    std::optional<Value> lookupByKey(int64_t key, int column) const;
    const Row* currentRow() const;                       // the stored row under the cursor
    // A field's value at a visible position, the pending row included (at currentPosition()).
    Value valueAt(int position, const Field& field) const;
    void fieldsChanged();                                // tells the views to redo their columns
    int64_t nextKey() const { return nextKey_; }

    // ---- persistence (for the table file) ----
    void setStorage(TableStorage* storage) { storage_ = storage; }
    // Rows in key order, their long texts held in arena; opens the table.
    void load(std::vector<Row> rows, int64_t nextKey, TextArena arena = {});

private:
    friend class Field;
    friend class RowRef;

    const Value& currentCell(const Field& f) const;
    Value lookupValue(const Field& f) const;
    void setCurrentCell(const Field& f, Value v);
    void requireActive() const;
    void requireBrowseRow() const;
    void settle();  // commits a changed pending edit, drops an unchanged one
    void checkRequiredForPost() const;
    void checkStorable(const Row& row) const;
    void commitInsert();
    void commitEdit();
    void dropPending();
    bool passes(const Row& row) const;
    void rebuildVisible();
    void afterFilterChange();
    void applyFilter(std::string text, FilterExpression expr);
    void moveTo(int position, bool atStart, bool atEnd);
    void scrolled();
    void notify(TableEvent::Kind kind, int position = -1);
    void setState(State s);
    int positionOfRow(int rowIndex) const;  // visible position or -1
    void forgetDerived(Row& row) const { row.derived = Value(); }

    std::string name_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::optional<IndexDef> index_;
    const Field* keyField_ = nullptr;
    int derivedColumn_ = -1;
    int letterColumn_ = -1;
    LetterIndex letterIndex_;
    std::function<void(std::string_view, std::string&)> deriveFn_;
    mutable std::string deriveBuffer_;
    int storedColumns_ = 0;

    std::vector<Row> rows_;  // in key order: every row is added at the end with the next key
    TextArena arena_;        // the texts of the rows as read from the file
    int64_t nextKey_ = 1;

    State state_ = State::Inactive;
    int cur_ = -1;  // visible position of the current row, -1 when none
    bool bof_ = true;
    bool eof_ = true;
    Row pending_;
    bool modified_ = false;

    std::string filterText_;
    FilterExpression filterExpr_;
    bool filtered_ = false;
    std::function<bool(const RowRef&)> filterCallback_;
    std::vector<uint32_t> visible_;  // row indices, used only while filtered

    std::function<void()> afterScroll_;
    int batchDepth_ = 0;
    bool scrollPending_ = false;
    std::vector<std::pair<int, std::function<void(const TableEvent&)>>> observers_;
    int nextObserverId_ = 1;
    int notifying_ = 0;  // depth of notices being delivered

    TableStorage* storage_ = nullptr;
};

}  // namespace barqeen
