// JSON Lines: one object a line, with the same names as the columns of a CSV file. The verse may
// also be an array of its hemistichs, and the categories an array of names.
#include "exchange/columns.h"
#include "exchange/record_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace barqeen::exchange {
namespace {

std::string utf8(const QString& s)
{
    return s.toStdString();
}

class JsonLinesReader : public RecordReader {
public:
    explicit JsonLinesReader(std::string_view utf8) : RecordReader(utf8) {}

    bool next(SourceRecord& record) override
    {
        while (pos_ < text_.size()) {
            const size_t end = std::min(text_.find('\n', pos_), text_.size());
            std::string_view line = text_.substr(pos_, end - pos_);
            const int number = line_;
            pos_ = end + 1;
            ++line_;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.find_first_not_of(" \t") == std::string_view::npos)
                continue;
            record.clear();
            record.line = number;
            record.raw = line;
            read(line, record);
            return true;
        }
        pos_ = text_.size();
        return false;
    }

private:
    static void read(std::string_view line, SourceRecord& record)
    {
        QJsonParseError error{};
        const QJsonDocument doc =
            QJsonDocument::fromJson(QByteArray::fromRawData(line.data(), qsizetype(line.size())), &error);
        if (error.error != QJsonParseError::NoError) {
            record.malformed = "ليس سطر JSON سليمًا (\u2066" + utf8(error.errorString()) + " at " +
                               std::to_string(error.offset) + "\u2069)";
            return;
        }
        if (!doc.isObject()) {
            record.malformed = "السطر ليس كائن JSON بين { و }";
            return;
        }
        const QJsonObject object = doc.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const Column column = columnOf(utf8(it.key()));
            if (column == Column::Unknown || it.value().isNull())
                continue;
            if (!take(column, it.value(), record)) {
                record.malformed = "قيمة «\u2066" + utf8(it.key()) + "\u2069» ليست نصًا";
                return;
            }
        }
    }

    static bool take(Column column, const QJsonValue& value, SourceRecord& record)
    {
        if (value.isArray() && (column == Column::Categories || column == Column::Text)) {
            std::vector<std::string> items;
            for (const QJsonValue item : value.toArray()) {
                if (!item.isString())
                    return false;
                items.push_back(utf8(item.toString()));
            }
            if (column == Column::Categories) {
                record.categories = std::move(items);
            } else {
                // The hemistichs of the verse, one after the other.
                for (size_t i = 0; i < items.size(); ++i)
                    record.text += (i ? "\n" : "") + items[i];
            }
            return true;
        }
        if (!value.isString())
            return false;
        std::string text = utf8(value.toString());
        switch (column) {
        case Column::Text: record.text = std::move(text); break;
        case Column::Hemistich1: record.hemistich1 = std::move(text); break;
        case Column::Hemistich2: record.hemistich2 = std::move(text); break;
        case Column::Poet: record.poet = std::move(text); break;
        case Column::FirstLetter: record.firstLetter = std::move(text); break;
        case Column::LastLetter: record.lastLetter = std::move(text); break;
        case Column::Categories: splitCategories(text, record.categories); break;
        case Column::Unknown: break;
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<RecordReader> makeJsonLinesReader(std::string_view utf8)
{
    return std::make_unique<JsonLinesReader>(utf8);
}

}  // namespace barqeen::exchange
