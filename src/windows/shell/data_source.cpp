#include "windows/shell/data_source.h"

#include "windows/shell/guard.h"

#include <algorithm>

namespace barqeen {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource()
{
    setTable(nullptr);
}

void DataSource::setTable(Table* table)
{
    if (table == table_)
        return;
    if (table_)
        table_->removeObserver(observer_);
    table_ = table;
    if (table_)
        observer_ = table_->addObserver([this](const TableEvent& e) { emit tableEvent(e); });
    emit tableReplaced();
}

void DataSource::startEdit()
{
    if (table_ && table_->state() == Table::State::Browse)
        table_->edit();
}

void DataSource::setFieldFromControl(const std::string& fieldName, const Value& value)
{
    if (!table_)
        return;
    Field& f = table_->field(fieldName);
    startEdit();
    f.setValue(value);
}

void DataSource::addInput(HeldInput* input)
{
    if (std::find(inputs_.begin(), inputs_.end(), input) == inputs_.end())
        inputs_.push_back(input);
}

void DataSource::removeInput(HeldInput* input)
{
    std::erase(inputs_, input);
}

bool DataSource::commitInputs()
{
    const std::vector<HeldInput*> inputs = inputs_;  // a commit may bind or unbind a control
    for (HeldInput* input : inputs)
        if (std::find(inputs_.begin(), inputs_.end(), input) != inputs_.end() && !input->commitInput())
            return false;
    return true;
}

void DataSource::dropInputs()
{
    const std::vector<HeldInput*> inputs = inputs_;
    for (HeldInput* input : inputs)
        if (std::find(inputs_.begin(), inputs_.end(), input) != inputs_.end())
            input->dropInput();
}

bool DataSource::act(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const RequiredFieldError& e) {
        showError(e);
        emit requiredFieldMissing(QString::fromStdString(e.fieldName));
    } catch (const std::exception& e) {
        showError(e);
    }
    return false;
}

bool DataSource::editing() const
{
    return table_ && (table_->state() == Table::State::Edit || table_->state() == Table::State::Insert);
}

bool DataSource::changes() const
{
    return editing() && table_->modified();
}

}  // namespace barqeen
