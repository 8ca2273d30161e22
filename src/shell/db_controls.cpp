#include "shell/db_controls.h"

#include "shell/guard.h"
#include "shell/table_model.h"
#include "text/codepage.h"

#include <QTextDocument>
#include <QTextOption>

namespace barqeen {

FieldLink::FieldLink(std::function<void()> refresh) : refresh_(std::move(refresh))
{
}

void FieldLink::bind(DataSource* source, std::string fieldName)
{
    disconnect(events_);
    disconnect(replaced_);
    source_ = source;
    field_ = std::move(fieldName);
    if (source_) {
        events_ = connect(source_, &DataSource::tableEvent, this, [this](const TableEvent& e) {
            if (e.kind != TableEvent::Layout && e.kind != TableEvent::AboutToReset &&
                e.kind != TableEvent::RowAboutToBeInserted && e.kind != TableEvent::RowAboutToBeRemoved)
                refresh_();
        });
        replaced_ = connect(source_, &DataSource::tableReplaced, this, [this] { refresh_(); });
    }
    refresh_();
}

Field* FieldLink::field() const
{
    Table* t = source_ ? source_->table() : nullptr;
    return t ? t->findField(field_) : nullptr;
}

Value FieldLink::value() const
{
    Field* f = field();
    return f && f->table().active() ? f->value() : Value();
}

// ---------------------------------------------------------------- memo

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), link_([this] { refresh(); })
{
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    option.setTextDirection(Qt::RightToLeft);
    document()->setDefaultTextOption(option);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::userChanged);
}

void DBMemo::refresh()
{
    Field* f = link_.field();
    QString text = f ? displayText(*f, link_.value()) : QString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setReadOnly(!f || f->readOnly());
    if (text == toPlainText())
        return;
    refreshing_ = true;
    setPlainText(text);
    refreshing_ = false;
}

void DBMemo::userChanged()
{
    if (refreshing_ || !link_.field())
        return;
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const codepage::Encoded bytes = codepage::fromUnicode(text);
    if (!bytes.ok()) {
        Dialogs::message(codepage::unmappableMessage(*bytes.unmappable));
        refresh();  // back to what the field holds
        return;
    }
    refreshing_ = true;
    runGuarded([&] { link_.source()->setFieldFromControl(link_.fieldName(), Value(bytes.bytes)); });
    refreshing_ = false;
}

// ---------------------------------------------------------------- drop-down list

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), link_([this] { refresh(); })
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int item) {
        runGuarded([&] {
            link_.source()->setFieldFromControl(link_.fieldName(), Value(codepage::fromUnicodeOrThrow(itemText(item))));
        });
    });
}

void DBComboBox::refresh()
{
    Field* f = link_.field();
    const QString text = f ? displayText(*f, link_.value()) : QString();
    QSignalBlocker block(this);
    setCurrentIndex(findText(text));
    setEnabled(f != nullptr);
}

// ---------------------------------------------------------------- lookup list

void addRowItems(QComboBox& list, const Table& table, int nameColumn)
{
    if (!table.active() || !table.keyField())
        return;
    const size_t keyColumn = size_t(table.keyField()->column());
    for (int r = 0; r < table.rowCount(); ++r) {
        const Row& row = table.rowAt(r);
        list.addItem(codepage::toUnicode(row.cells[size_t(nameColumn)].text()),
                     QVariant::fromValue(qint64(row.cells[keyColumn].integer())));
    }
}

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), link_([this] { refresh(); })
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int item) {
        runGuarded([&] {
            const QVariant key = itemData(item);
            link_.source()->setFieldFromControl(link_.fieldName(),
                                                key.isValid() ? Value(int64_t(key.toLongLong())) : Value());
        });
    });
}

void DBLookupComboBox::setListSource(Table* table, std::string listField)
{
    list_ = table;
    listField_ = std::move(listField);
    reloadList();
}

void DBLookupComboBox::reloadList()
{
    QSignalBlocker block(this);
    clear();
    if (list_)
        addRowItems(*this, *list_, list_->field(listField_).column());
    refresh();
}

void DBLookupComboBox::refresh()
{
    const Value key = link_.value();
    QSignalBlocker block(this);
    setCurrentIndex(key.isInteger() ? findData(QVariant::fromValue(qint64(key.integer()))) : -1);
    setEnabled(link_.field() != nullptr);
}

}  // namespace barqeen
