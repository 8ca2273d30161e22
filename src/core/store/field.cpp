#include "core/store/field.h"

#include "core/common/error.h"
#include "core/store/datetime.h"
#include "core/store/table.h"
#include "core/text/codepage.h"

#include <charconv>
#include <limits>

namespace barqeen {
namespace {

constexpr std::pair<FieldType, std::string_view> kTypeNames[] = {
    {FieldType::AutoIncrement, "autoinc"}, {FieldType::String, "string"},
    {FieldType::Memo, "memo"},             {FieldType::Integer, "integer"},
    {FieldType::SmallInt, "smallint"},     {FieldType::DateTime, "datetime"},
};

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

int64_t parseInteger(std::string_view text)
{
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    int64_t n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        throw Error(format("'%s' is not a valid integer value", {codepage::utf8(text)}));
    return n;
}

bool isNumeric(FieldType t)
{
    return t == FieldType::AutoIncrement || t == FieldType::Integer || t == FieldType::SmallInt;
}

}  // namespace

std::string_view fieldTypeName(FieldType type)
{
    for (const auto& [t, name] : kTypeNames)
        if (t == type)
            return name;
    return "?";
}

bool fieldTypeFromName(std::string_view name, FieldType& type)
{
    for (const auto& [t, n] : kTypeNames)
        if (n == name) {
            type = t;
            return true;
        }
    return false;
}

Field::Field(Table& table, FieldDef def, int column) : table_(table), def_(std::move(def)), column_(column)
{
}

void Field::setDisplayLabel(std::string label)
{
    if (label == label_)
        return;
    label_ = std::move(label);
    table_.fieldsChanged();
}

void Field::setDisplayWidth(int width)
{
    if (width == displayWidth_)
        return;
    displayWidth_ = width;
    table_.fieldsChanged();
}

void Field::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    table_.fieldsChanged();
}

int Field::displayWidth() const
{
    if (displayWidth_ > 0)
        return displayWidth_;
    return isText() && def_.type == FieldType::String ? def_.size : 10;
}

Value Field::value() const
{
    if (isLookup())
        return table_.lookupValue(*this);
    return table_.currentCell(*this);
}

std::string Field::asString() const
{
    return toString(value());
}

std::string Field::toString(const Value& v) const
{
    if (v.isNull())
        return {};
    if (v.isText())
        return std::string(v.text());
    if (def_.type == FieldType::DateTime)
        return datetime::toText(v.integer());
    return std::to_string(v.integer());
}

int64_t Field::asInteger() const
{
    const Value v = value();
    if (v.isNull())
        return 0;
    if (v.isInteger())
        return v.integer();
    return parseInteger(v.text());
}

Value Field::convert(const Value& v) const
{
    if (v.isNull())
        return v;
    if (isText()) {
        std::string text = toString(v);
        if (def_.type == FieldType::String && def_.size > 0 && text.size() > size_t(def_.size))
            text.resize(size_t(def_.size));
        return Value(text);
    }
    if (def_.type == FieldType::DateTime) {
        if (v.isInteger())
            return v;
        if (v.text().empty())
            return Value();
        if (auto stamp = datetime::fromText(v.text()))
            return Value(*stamp);
        throw Error(format("'%s' is not a valid date and time", {codepage::utf8(v.text())}));
    }
    if (v.isText() && trimmed(v.text()).empty())
        return Value();  // an empty text empties a number field
    const int64_t n = v.isInteger() ? v.integer() : parseInteger(v.text());
    const int64_t lo = def_.type == FieldType::SmallInt ? std::numeric_limits<int16_t>::min()
                                                        : std::numeric_limits<int32_t>::min();
    const int64_t hi = def_.type == FieldType::SmallInt ? std::numeric_limits<int16_t>::max()
                                                        : std::numeric_limits<int32_t>::max();
    if (isNumeric(def_.type) && (n < lo || n > hi))
        throw Error(format("%s is not a valid value for field '%s'. The allowed range is %s to %s",
                           {std::to_string(n), displayLabel(), std::to_string(lo), std::to_string(hi)}));
    return Value(n);
}

void Field::setValue(const Value& v)
{
    if (readOnly_ || def_.type == FieldType::AutoIncrement || isLookup())
        throw Error(format("Field '%s' cannot be modified", {displayLabel()}));
    table_.setCurrentCell(*this, convert(v));
}

void Field::setAsString(std::string_view text)
{
    setValue(Value(text));
}

void Field::setAsInteger(int64_t number)
{
    setValue(Value(number));
}

}  // namespace barqeen
