#pragma once
// Field definitions and the field objects through which windows and rules read and set a row.
#include "core/common/error.h"
#include "core/store/value.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace barqeen {

class Table;

enum class FieldType { AutoIncrement, String, Memo, Integer, SmallInt, DateTime };

// What a table file keeps of a field.
struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;  // characters for String, declared size for Memo, 0 for the others
    bool required = false;

    bool operator==(const FieldDef&) const = default;
};

struct IndexDef {
    std::string name;  // the program's tables use the empty name
    std::string field;
    bool primary = true;
    bool unique = true;

    bool operator==(const IndexDef&) const = default;
};

std::string_view fieldTypeName(FieldType type);
bool fieldTypeFromName(std::string_view name, FieldType& type);

// Thrown when a row is committed with a required field left empty; names the field so the
// window can put the input focus on its control.
class RequiredFieldError : public Error {
public:
    RequiredFieldError(const std::string& message, std::string field)
        : Error(message), fieldName(std::move(field)) {}
    std::string fieldName;
};

// A field as the windows see it: its definition plus display properties. A looked-up field is
// not stored; it shows a value of another table's row found by this row's key value.
class Field {
public:
    Field(Table& table, FieldDef def, int column);

    const std::string& name() const { return def_.name; }
    Table& table() const { return table_; }
    const FieldDef& def() const { return def_; }
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    bool required() const { return def_.required; }
    int index() const { return index_; }    // position among the table's fields
    int column() const { return column_; }  // position in a stored row; -1 for a looked-up field
    bool isLookup() const { return column_ < 0; }
    // For a looked-up field: the table it looks in, this row's key column and the shown column.
    const Table* lookupSource() const { return lookupSource_; }
    int lookupKeyColumn() const { return lookupKeyColumn_; }
    int lookupResultColumn() const { return lookupResultColumn_; }
    bool isText() const { return def_.type == FieldType::String || def_.type == FieldType::Memo; }

    // Display properties (labels are UTF-8, shown as they are).
    const std::string& displayLabel() const { return label_.empty() ? def_.name : label_; }
    void setDisplayLabel(std::string label);
    int displayWidth() const;
    void setDisplayWidth(int width);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Reading the current row (or the pending edit). An empty field reads as "" and 0.
    Value value() const;
    bool isNull() const { return value().isNull(); }
    std::string asString() const;
    int64_t asInteger() const;

    // Setting needs the table in edit or insert state.
    void setValue(const Value& value);
    void setAsString(std::string_view text);
    void setAsInteger(int64_t number);
    void clear() { setValue(Value()); }

    // Turns a value of any kind into what this field stores (cuts strings to their size,
    // parses numbers and dates); throws the table layer's conversion errors.
    Value convert(const Value& value) const;
    std::string toString(const Value& value) const;

private:
    friend class Table;
    Table& table_;
    FieldDef def_;
    int index_ = 0;
    int column_;
    std::string label_;
    int displayWidth_ = 0;  // 0 = the type's default
    // A looked-up field: the source table and the columns that tie it to this row.
    const Table* lookupSource_ = nullptr;
    int lookupKeyColumn_ = -1;
    int lookupResultColumn_ = -1;
    bool visible_ = true;
    bool readOnly_ = false;
};

}  // namespace barqeen
