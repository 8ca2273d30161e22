#pragma once
// Links one table to the data-bound controls: passes the table's notices on as Qt signals, and
// starts editing by itself when a bound control is changed.
#include "store/table.h"

#include <QObject>

namespace barqeen {

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    Table* table() const { return table_; }
    void setTable(Table* table);  // nullptr: no table

    // A bound control's value changed: put the table in edit (or insert) state, then set field.
    void setFieldFromControl(const std::string& fieldName, const Value& value);

signals:
    void tableEvent(const barqeen::TableEvent& event);
    void tableReplaced();

private:
    Table* table_ = nullptr;
    int observer_ = 0;
};

}  // namespace barqeen
