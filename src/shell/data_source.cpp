#include "shell/data_source.h"

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

void DataSource::setFieldFromControl(const std::string& fieldName, const Value& value)
{
    if (!table_)
        return;
    Field& f = table_->field(fieldName);
    if (table_->state() == Table::State::Browse)
        table_->edit();
    f.setValue(value);
}

}  // namespace barqeen
