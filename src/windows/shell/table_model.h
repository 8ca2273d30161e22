#pragma once
// The rows of a data source's table as an item model: one row per visible row (plus the row
// being inserted), one column per field shown in grids, headed by the fields' display labels.
// Cells are read where they lie, without moving the table's cursor; nothing is copied, so a
// table of a million rows costs the model nothing.
#include "windows/shell/data_source.h"

#include <QAbstractTableModel>

namespace barqeen {

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(DataSource& source, QObject* parent = nullptr);

    Table* table() const { return source_.table(); }
    Field* fieldOfColumn(int column) const;
    int columnOfField(const std::string& name) const;  // -1 when not shown

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into a cell: the table goes to that row and into edit state (errors are shown).
    // A text equal to what the cell shows changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Between the notices that begin and end an insertion, a removal or a reset.
    bool changing() const { return changing_; }

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // A field shown here but edited elsewhere (a verse's text, in its memo).
    void setFieldReadOnly(std::string fieldName) { readOnlyFields_.push_back(std::move(fieldName)); }

private:
    void onTableEvent(const TableEvent& event);
    void rebuild();

    DataSource& source_;
    std::vector<Field*> columns_;
    int rows_ = 0;  // what the views were last told
    bool resetting_ = false;
    bool changing_ = false;
    bool readOnly_ = false;
    std::vector<std::string> readOnlyFields_;
};

// The text a field shows for a value (Windows-1256 text turned into Unicode).
QString displayText(const Field& field, const Value& value);

}  // namespace barqeen
