#pragma once
// The small data-bound controls: a memo, a drop-down list and a lookup list, each showing one
// field of its data source's current row and changing it when the user does.
#include "windows/shell/data_source.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>

namespace barqeen {

// Shared wiring: which field of which source, and a refresh on every notice of the table. The
// refresh is told whether the table went to another row (or another table) since the last one.
// A control that can hold input the table has not taken is registered with its source.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(std::function<void(bool rowChanged)> refresh, HeldInput* input = nullptr);
    ~FieldLink() override;
    void bind(DataSource* source, std::string fieldName);
    void unbind() { bind(nullptr, {}); }
    DataSource* source() const { return source_; }
    const std::string& fieldName() const { return field_; }
    Field* field() const;  // nullptr when unbound or no such field
    Value value() const;   // the current row's value, null when none

private:
    std::function<void(bool)> refresh_;
    HeldInput* input_;
    QPointer<DataSource> source_;
    std::string field_;
    QMetaObject::Connection events_, replaced_;
};

// A memo bound to a text field. Line breaks are stored as CR LF. Each change is stored as it is
// typed; a text with a character the code page cannot hold is kept in the memo, unstored, until
// it is corrected (or the row is left by cancelling).
class DBMemo : public QPlainTextEdit, public HeldInput {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    FieldLink& link() { return link_; }

    bool commitInput() override;
    void dropInput() override;

private:
    void refresh(bool rowChanged);
    void userChanged();
    FieldLink link_;
    bool syncing_ = false;  // the memo is being set from its field, or is setting it
    bool refused_ = false;  // holds a text its field cannot take
};

// A drop-down list (no free typing) whose chosen item's text is the field's value.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    FieldLink& link() { return link_; }

private:
    void refresh();
    FieldLink link_;
};

// Appends one item per row of table: the text of its nameColumn, with the row's key as data.
void addRowItems(QComboBox& list, const Table& table, int nameColumn);

// A list of another table's rows by one of their fields; choosing one stores its key in the
// bound field (an author's name chosen, the author's ID stored).
class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    FieldLink& link() { return link_; }
    void setListSource(Table* table, std::string listField);  // its key field is the stored value
    void reloadList();

private:
    void refresh();
    FieldLink link_;
    Table* list_ = nullptr;
    std::string listField_;
};

}  // namespace barqeen
