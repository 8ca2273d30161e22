#include "core/exchange/record_reader.h"

#include "core/common/error.h"

#include <algorithm>

namespace barqeen::exchange {

void SourceRecord::clear()
{
    line = 0;
    lastLine = 0;
    raw = {};
    malformed.clear();
    notOneVerse.clear();
    heading = false;
    text.clear();
    hemistich1.clear();
    hemistich2.clear();
    poet.clear();
    firstLetter.clear();
    lastLetter.clear();
    categories.clear();
}

void takeField(Column column, std::string&& field, SourceRecord& record)
{
    switch (column) {
    case Column::Text:
    case Column::Verses: record.text = std::move(field); break;
    case Column::Hemistich1: record.hemistich1 = std::move(field); break;
    case Column::Hemistich2: record.hemistich2 = std::move(field); break;
    case Column::Poet: record.poet = std::move(field); break;
    case Column::FirstLetter: record.firstLetter = std::move(field); break;
    case Column::LastLetter: record.lastLetter = std::move(field); break;
    case Column::Categories: splitCategories(field, record.categories); break;
    case Column::Unknown: break;
    }
}

void splitCategories(std::string_view field, std::vector<std::string>& names)
{
    // ';', the Arabic comma and the Arabic semicolon.
    constexpr std::string_view kArabicSeparators[] = {"\xD8\x8C", "\xD8\x9B"};
    size_t from = 0;
    while (from <= field.size()) {
        size_t to = field.size(), width = 0;
        for (size_t i = from; i < field.size() && width == 0; ++i) {
            if (field[i] == ';') {
                to = i;
                width = 1;
            }
            for (const std::string_view separator : kArabicSeparators)
                if (width == 0 && field.substr(i, separator.size()) == separator) {
                    to = i;
                    width = separator.size();
                }
        }
        names.emplace_back(field.substr(from, to - from));
        if (width == 0)
            break;
        from = to + width;
    }
}

std::unique_ptr<RecordReader> makeReader(Format format, std::string_view utf8, const ReadOptions& options)
{
    switch (format) {
    case Format::Text: return makeTextLinesReader(utf8, options);
    case Format::Csv: {
        // A spreadsheet set to a language that writes decimal commas separates with ';'.
        const std::string_view header = utf8.substr(0, utf8.find('\n'));
        const auto count = [&](char c) { return std::count(header.begin(), header.end(), c); };
        return makeDelimitedReader(utf8, count(';') > count(',') ? ';' : ',');
    }
    case Format::Tsv: return makeDelimitedReader(utf8, '\t');
    case Format::JsonLines: return makeJsonLinesReader(utf8);
    case Format::Auto: break;
    }
    throw Error("Format not chosen");
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace barqeen::exchange
