#pragma once
// The navigator: buttons that move through, add, delete, edit, post and cancel rows of its data
// source's table, each enabled as the table's state allows. Each button first settles the input
// held by the source's controls (an open cell editor, a refused memo text): cancel drops it,
// the others commit it and stop when it is refused.
#include "windows/shell/data_source.h"

#include <QWidget>

#include <array>

class QToolButton;

namespace barqeen {

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };

    DBNavigator(DataSource& source, QWidget* parent = nullptr);
    void setVisibleButtons(std::initializer_list<Button> buttons);
    QToolButton* button(Button b) const { return buttons_[size_t(b)]; }
    void click(Button b);  // what a press of the button does

signals:
    // A button's action has run without error.
    void actionDone(barqeen::DBNavigator::Button button);
    // A row of the source's table was refused for a required field left empty, whatever started
    // the commit (the source's requiredFieldMissing): its control should take the focus.
    void requiredFieldMissing(const QString& fieldName);

private:
    void updateButtons();

    DataSource& source_;
    std::array<QToolButton*, ButtonCount> buttons_{};
};

}  // namespace barqeen
