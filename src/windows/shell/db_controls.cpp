#include "windows/shell/db_controls.h"

#include "windows/shell/guard.h"
#include "windows/shell/table_model.h"
#include "core/text/codepage.h"

#include <QTextDocument>
#include <QTextOption>

namespace barqeen {

FieldLink::FieldLink(std::function<void(bool)> refresh, HeldInput* input) : refresh_(std::move(refresh)), input_(input)
{
}

FieldLink::~FieldLink()
{
    if (source_ && input_)
        source_->removeInput(input_);
}

void FieldLink::bind(DataSource* source, std::string fieldName)
{
    disconnect(events_);
    disconnect(replaced_);
    if (source_ && input_)
        source_->removeInput(input_);
    source_ = source;
    field_ = std::move(fieldName);
    if (source_) {
        events_ = connect(source_, &DataSource::tableEvent, this, [this](const TableEvent& e) {
            switch (e.kind) {
            case TableEvent::Layout:
            case TableEvent::AboutToReset:
            case TableEvent::RowAboutToBeInserted:
            case TableEvent::RowAboutToBeRemoved:
                break;
            case TableEvent::Reset:
            case TableEvent::RowInserted:
            case TableEvent::RowRemoved:
            case TableEvent::Moved:
                refresh_(true);
                break;
            case TableEvent::RowChanged:
            case TableEvent::StateChanged:
                refresh_(false);
                break;
            }
        });
        replaced_ = connect(source_, &DataSource::tableReplaced, this, [this] { refresh_(true); });
        if (input_)
            source_->addInput(input_);
    }
    refresh_(true);
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

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), link_([this](bool rowChanged) { refresh(rowChanged); }, this)
{
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    option.setTextDirection(Qt::RightToLeft);
    document()->setDefaultTextOption(option);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::userChanged);
}

namespace {

// The memo's text as its field holds it: line breaks as CR LF.
codepage::Encoded encodeMemo(QString text)
{
    codepage::Encoded e = codepage::fromUnicode(text);  // positions as the memo counts them
    if (!e.ok())
        return e;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return codepage::fromUnicode(text);
}

}  // namespace

void DBMemo::refresh(bool rowChanged)
{
    if (syncing_)
        return;  // the memo's own change coming back: its text and cursor stay as typed
    Field* f = link_.field();
    setReadOnly(!f || f->readOnly());
    if (refused_ && !rowChanged)
        return;  // a refused text stays for correction
    refused_ = false;
    QString text = f ? displayText(*f, link_.value()) : QString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text == toPlainText())
        return;
    syncing_ = true;
    setPlainText(text);
    syncing_ = false;
}

void DBMemo::userChanged()
{
    if (syncing_ || !link_.field())
        return;
    const codepage::Encoded encoded = encodeMemo(toPlainText());
    const bool wasRefused = refused_;
    refused_ = !encoded.ok();
    syncing_ = true;
    runGuarded([&] {
        if (refused_)
            link_.source()->startEdit();  // the row is being changed, though not yet stored
        else
            link_.source()->setFieldFromControl(link_.fieldName(), Value(encoded.bytes));
    });
    syncing_ = false;
    if (refused_ && !wasRefused)
        Dialogs::message(codepage::unmappableMessage(*encoded.unmappable));
}

bool DBMemo::commitInput()
{
    if (!refused_)
        return true;  // every change is already stored
    const codepage::Encoded encoded = encodeMemo(toPlainText());
    if (encoded.ok()) {
        userChanged();
        return !refused_;
    }
    Dialogs::message(codepage::unmappableMessage(*encoded.unmappable));
    // The character is selected: the next key replaces it.
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(encoded.position));
    cursor.setPosition(int(encoded.position + (*encoded.unmappable > 0xFFFF ? 2 : 1)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    setFocus();
    return false;
}

void DBMemo::dropInput()
{
    if (refused_)
        refresh(true);
}

// ---------------------------------------------------------------- drop-down list

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), link_([this](bool) { refresh(); })
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

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), link_([this](bool) { refresh(); })
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
