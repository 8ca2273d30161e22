#pragma once
// The data-bound grid: a table view over a TableModel whose current row follows the table's
// cursor both ways. Cells can be drawn over by a hook after the grid's own drawing.
//
// Typing on a cell opens its editor (so does Ctrl+V, with the clipboard's text) and puts the
// table in edit state; the editor's text reaches the table when the editor is committed (Enter,
// Tab, another cell, or any action that settles the source's held input first). A text with a
// character the code page cannot hold is never committed: it stays in the open editor, the
// message names the character, until it is corrected or dropped with Esc.
#include "windows/shell/table_model.h"

#include <QPointer>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <functional>
#include <string>

namespace barqeen {

class DBGrid : public QTableView, public HeldInput {
    Q_OBJECT
public:
    DBGrid(DataSource& source, QWidget* parent = nullptr);
    ~DBGrid() override;

    TableModel& tableModel() { return model_; }
    DataSource& dataSource() { return source_; }
    void setReadOnly(bool readOnly);

    // Called for each data cell after the grid has drawn it: the cell's rectangle, its field,
    // its text and its state (selected or not).
    std::function<void(QPainter&, const QRect&, Field&, const QString&, const QStyleOptionViewItem&)> drawDataCell;

    // Each column as wide as its field's display width in characters (its title never cut); the
    // column of `widest` takes the room the others leave, at least ten characters, so that the
    // other columns show without a sideways scroll and a wider grid shows more of that one.
    void fitColumnsGivingRoomTo(const std::string& widest);  // and again at every resize

    // The text a cell shows: a date and time is set apart as one left-to-right unit, so that it
    // reads in its own order inside the right-to-left grid.
    QString shownText(const QModelIndex& index);

    // The open cell editor, if any: committed into the table (false when refused), or dropped.
    bool commitInput() override;
    void dropInput() override;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Typing on a cell that cannot be edited does nothing (no jump to a row by its text).
    void keyboardSearch(const QString&) override {}

private:
    class CellDelegate;
    void followTable();
    void editorTextChanged(QWidget* editor);
    bool refuseIfUnstorable(QWidget* editor, bool select);
    void pasteIntoCell(QKeyEvent* event);

    DataSource& source_;
    QPointer<DataSource> sourceAlive_;
    TableModel model_;
    QPointer<QWidget> editor_;  // the open cell editor
    bool following_ = false;
    bool warning_ = false;      // a refusal is being shown
    bool editorRefused_ = false;
    bool committed_ = false;    // the last commit reached the table
    bool keepColumns_ = false;  // a click that selects a row does not scroll sideways
    bool pressKeptColumns_ = false;  // what the last press chose, for the view's delayed scroll to it
    std::string roomyField_;    // the column that takes the room the others leave
};

}  // namespace barqeen
