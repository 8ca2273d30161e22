#pragma once
// The data-bound grid: a table view over a TableModel whose current row follows the table's
// cursor both ways. Cells can be drawn over by a hook after the grid's own drawing.
#include "shell/table_model.h"

#include <QStyleOptionViewItem>
#include <QTableView>

#include <functional>

namespace barqeen {

class DBGrid : public QTableView {
    Q_OBJECT
public:
    DBGrid(DataSource& source, QWidget* parent = nullptr);

    TableModel& tableModel() { return model_; }
    DataSource& dataSource() { return source_; }
    void setReadOnly(bool readOnly);

    // Called for each data cell after the grid has drawn it: the cell's rectangle, its field,
    // its text and its state (selected or not).
    std::function<void(QPainter&, const QRect&, Field&, const QString&, const QStyleOptionViewItem&)> drawDataCell;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followTable();

    DataSource& source_;
    TableModel model_;
    bool following_ = false;
};

}  // namespace barqeen
