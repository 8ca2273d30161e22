#pragma once
// Links one table to the data-bound controls: passes the table's notices on as Qt signals, and
// starts editing by itself when a bound control is changed.
#include "core/store/table.h"

#include <QObject>

#include <functional>
#include <vector>

namespace barqeen {

// Input that a bound control holds and the table does not have yet: the text of a grid's open
// cell editor, or a memo's text with a character the code page cannot hold. Whatever acts on the
// table for the user (a navigator button, a click on another row, a window's own buttons)
// settles it first, as the user expects: commitInputs() before posting or moving, dropInputs()
// before cancelling.
class HeldInput {
public:
    virtual ~HeldInput() = default;
    // Puts the held input into the table. False when it is refused: the control has said why
    // and keeps the text, with the focus, for correction.
    virtual bool commitInput() = 0;
    // Forgets the held input; the control shows the table's value again.
    virtual void dropInput() = 0;
};

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    Table* table() const { return table_; }
    void setTable(Table* table);  // nullptr: no table

    // A bound control's value changed: put the table in edit (or insert) state, then set field.
    void setFieldFromControl(const std::string& fieldName, const Value& value);
    // A bound control was changed but holds nothing the table can take yet: edit state only.
    void startEdit();

    void addInput(HeldInput* input);
    void removeInput(HeldInput* input);
    bool commitInputs();  // false when one was refused; the others are then left as they are
    void dropInputs();

    // Runs what the user asked of the table (a post, a move, a filter that settles the pending
    // edit). An error ends it and is shown; when a row was refused for a required field left
    // empty, requiredFieldMissing names the field as well. False when it failed.
    bool act(const std::function<void()>& action);

    // True while the table holds a pending edit or insertion; changes(): one with a change in it.
    bool editing() const;
    bool changes() const;

signals:
    void tableEvent(const barqeen::TableEvent& event);
    void tableReplaced();
    // Whatever started the commit, the window puts the input focus on the field's control.
    void requiredFieldMissing(const QString& fieldName);

private:
    Table* table_ = nullptr;
    int observer_ = 0;
    std::vector<HeldInput*> inputs_;
};

}  // namespace barqeen
