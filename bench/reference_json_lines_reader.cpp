// The hand-written JSON Lines reader the import used before simdjson, kept for the benchmark that
// runs both over the same file: one object a line, read in one pass over each line.
#include "core/exchange/columns.h"
#include "core/exchange/record_reader.h"

#include <cctype>

namespace barqeen::bench {
namespace {

using namespace barqeen::exchange;

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// One line's object; each method answers false where the line stops being JSON.
class ObjectParser {
public:
    explicit ObjectParser(std::string_view line) : s_(line) {}

    // Fills the record from the object, or says why the line is not one.
    void read(SourceRecord& record)
    {
        if (!parseObject(record) && record.malformed.empty())
            record.malformed = "ليس سطر JSON سليمًا (عند الحرف " + std::to_string(i_ + 1) + ")";
    }

private:
    void skipSpace()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
            ++i_;
    }

    bool at(char c)
    {
        skipSpace();
        return i_ < s_.size() && s_[i_] == c;
    }

    bool take(char c)
    {
        if (!at(c))
            return false;
        ++i_;
        return true;
    }

    bool hex4(char32_t& code)
    {
        if (i_ + 4 > s_.size())
            return false;
        code = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_++];
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : c >= 'A' && c <= 'F'        ? c - 'A' + 10
                                                                                   : -1;
            if (digit < 0)
                return false;
            code = code << 4 | char32_t(digit);
        }
        return true;
    }

    bool parseString(std::string& out)
    {
        out.clear();
        if (!take('"'))
            return false;
        while (i_ < s_.size()) {
            const size_t stop = s_.find_first_of("\"\\", i_);
            const size_t end = stop == std::string_view::npos ? s_.size() : stop;
            for (size_t k = i_; k < end; ++k)
                if (uint8_t(s_[k]) < 0x20)
                    return false;  // a control character must be escaped
            out.append(s_.substr(i_, end - i_));
            i_ = end;
            if (i_ == s_.size())
                return false;
            if (s_[i_++] == '"')
                return true;
            if (i_ == s_.size())
                return false;
            const char e = s_[i_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                char32_t code;
                if (!hex4(code))
                    return false;
                if (code >= 0xD800 && code <= 0xDBFF && s_.substr(i_, 2) == "\\u") {
                    const size_t back = i_;
                    i_ += 2;
                    char32_t low;
                    if (hex4(low) && low >= 0xDC00 && low <= 0xDFFF)
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    else
                        i_ = back;
                }
                appendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? char32_t(0xFFFD) : code);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool literal(std::string_view word)
    {
        skipSpace();
        if (s_.substr(i_, word.size()) != word)
            return false;
        i_ += word.size();
        return true;
    }

    // Any value, read and dropped (the value of a key nobody asked for).
    bool skipValue(int depth = 0)
    {
        if (depth > 64)
            return false;
        skipSpace();
        if (i_ == s_.size())
            return false;
        const char c = s_[i_];
        if (c == '"')
            return parseString(scratch_);
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++i_;
            if (take(close))
                return true;
            do {
                if (c == '{' && !(parseString(scratch_) && take(':')))
                    return false;
                if (!skipValue(depth + 1))
                    return false;
            } while (take(','));
            return take(close);
        }
        if (literal("true") || literal("false") || literal("null"))
            return true;
        const size_t start = i_;
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '-' ||
                                  s_[i_] == '+' || s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'))
            ++i_;
        return i_ > start;
    }

    bool notText(const std::string& key, SourceRecord& record)
    {
        record.malformed = "قيمة «\u2066" + key + "\u2069» ليست نصًا";
        return false;
    }

    bool parseField(Column column, const std::string& key, SourceRecord& record)
    {
        if (literal("null"))
            return true;
        if (at('[') && (column == Column::Text || column == Column::Categories)) {
            ++i_;
            std::vector<std::string> items;
            if (!take(']')) {
                do {
                    if (!at('"'))
                        return at(']') || i_ == s_.size() ? false : notText(key, record);
                    items.emplace_back();
                    if (!parseString(items.back()))
                        return false;
                } while (take(','));
                if (!take(']'))
                    return false;
            }
            if (column == Column::Categories) {
                record.categories = std::move(items);
            } else {
                for (size_t k = 0; k < items.size(); ++k)
                    (record.text += k ? "\n" : "") += items[k];
            }
            return true;
        }
        if (!at('"'))
            return skipValue() ? notText(key, record) : false;
        std::string value;
        if (!parseString(value))
            return false;
        switch (column) {
        case Column::Text: record.text = std::move(value); break;
        case Column::Hemistich1: record.hemistich1 = std::move(value); break;
        case Column::Hemistich2: record.hemistich2 = std::move(value); break;
        case Column::Poet: record.poet = std::move(value); break;
        case Column::FirstLetter: record.firstLetter = std::move(value); break;
        case Column::LastLetter: record.lastLetter = std::move(value); break;
        case Column::Categories: splitCategories(value, record.categories); break;
        case Column::Unknown:
        case Column::Verses: break;
        }
        return true;
    }

    bool parseObject(SourceRecord& record)
    {
        if (!take('{')) {
            skipSpace();
            if (i_ < s_.size() && skipValue()) {
                skipSpace();
                if (i_ == s_.size())
                    record.malformed = "السطر ليس كائن JSON بين { و }";
            }
            return false;
        }
        if (!take('}')) {
            std::string key;
            do {
                if (!parseString(key) || !take(':'))
                    return false;
                const Column column = columnOf(key);
                if (column == Column::Unknown ? !skipValue() : !parseField(column, key, record))
                    return false;
            } while (take(','));
            if (!take('}'))
                return false;
        }
        skipSpace();
        return i_ == s_.size();
    }

    std::string_view s_;
    size_t i_ = 0;
    std::string scratch_;
};

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
            ObjectParser(line).read(record);
            return true;
        }
        pos_ = text_.size();
        return false;
    }
};

}  // namespace

std::unique_ptr<exchange::RecordReader> makeHandWrittenJsonLinesReader(std::string_view utf8)
{
    return std::make_unique<JsonLinesReader>(utf8);
}

}  // namespace barqeen::bench
