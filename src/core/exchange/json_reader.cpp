// JSON: one object a line (JSON Lines), or a whole file holding an array of them. An object names
// its fields as the columns of a CSV file do; the verse may be an array of its hemistichs, the
// categories an array of names, and an object may hold a whole poem as a list of hemistichs
// (taken two by two), of verses (each an array of two hemistichs) or of verse objects. Read with
// simdjson's On-Demand parser, which reads only what is asked for.
#include "core/exchange/columns.h"
#include "core/exchange/record_reader.h"

#include <simdjson.h>

#include <algorithm>
#include <deque>
#include <optional>

namespace barqeen::exchange {
namespace {

namespace od = simdjson::ondemand;
using simdjson::simdjson_error;

constexpr std::string_view kNotAnObject = "ليس كائن JSON بين { و }";

std::string named(std::string_view key)
{
    return "«\u2066" + std::string(key) + "\u2069»";
}

// A JSON value that is not what a field holds: says so in the record.
struct NotText {
    std::string key;
};

// Turns JSON objects into records; a poem gives several.
class ObjectReader {
public:
    explicit ObjectReader(std::deque<SourceRecord>& out) : out_(out) {}

    // The records of one object, all with the given line; false when it is malformed, with one
    // record that says why.
    bool read(od::value value, int line, std::string_view raw)
    {
        const size_t first = out_.size();
        try {
            SourceRecord& record = push(line, raw);
            if (value.type() != od::json_type::object) {
                record.malformed = std::string("العنصر ") + std::string(kNotAnObject);
                return false;
            }
            readObject(value.get_object(), first);
            return true;
        } catch (const NotText& e) {
            malformedOnly(first, line, raw, "قيمة " + named(e.key) + " ليست نصًا");
            return false;
        }
    }

    // Drops what the object gave, for one record saying why it is malformed.
    void malformedOnly(size_t first, int line, std::string_view raw, std::string why)
    {
        out_.erase(out_.begin() + std::ptrdiff_t(first), out_.end());
        push(line, raw).malformed = std::move(why);
    }

private:
    SourceRecord& push(int line, std::string_view raw)
    {
        SourceRecord& r = out_.emplace_back();
        r.line = line;
        r.raw = raw;
        return r;
    }

    static std::string text(od::value value, std::string_view key)
    {
        if (value.type() != od::json_type::string)
            throw NotText{std::string(key)};
        return std::string(std::string_view(value.get_string()));
    }

    static void texts(od::value value, std::string_view key, std::vector<std::string>& out)
    {
        for (od::value item : value.get_array())
            out.push_back(text(item, key));
    }

    // The object at out_[at]; a list of verses in it adds records after it, which take the
    // object's poet, categories and letters where they give none.
    void readObject(od::object object, size_t at)
    {
        std::vector<std::string> keys;
        bool hasVerse = false, hasPoem = false;
        std::vector<std::string> hemistichs;
        for (od::field field : object) {
            const std::string_view key = field.unescaped_key();
            const Column column = columnOf(key);
            od::value value = field.value();
            if (column == Column::Unknown) {
                keys.emplace_back(key);
                continue;
            }
            const od::json_type type = value.type();
            if (type == od::json_type::null)
                continue;
            SourceRecord& record = out_[at];
            hasVerse = hasVerse || column == Column::Text || column == Column::Hemistich1 ||
                       column == Column::Hemistich2;
            if (type == od::json_type::array && column == Column::Text) {
                std::vector<std::string> items;
                texts(value, key, items);
                for (size_t k = 0; k < items.size(); ++k)
                    (record.text += k ? "\n" : "") += items[k];
                continue;
            }
            if (type == od::json_type::array && column == Column::Categories) {
                texts(value, key, record.categories);
                continue;
            }
            if (column == Column::Verses) {
                if (type != od::json_type::array)
                    throw NotText{std::string(key)};
                hasPoem = true;
                readPoem(value.get_array(), key, at, hemistichs);
                continue;
            }
            takeField(column, text(value, key), record);
        }
        if (const std::optional<TextLayout> layout = wholeVerseLayout(hemistichs))
            takeVerses(hemistichs, *layout, at);
        else
            takeHemistichs(hemistichs, at);
        SourceRecord& whole = out_[at];
        for (size_t k = at + 1; k < out_.size(); ++k) {
            SourceRecord& verse = out_[k];
            if (verse.poet.empty())
                verse.poet = whole.poet;
            if (verse.categories.empty())
                verse.categories = whole.categories;
        }
        if (hasPoem && !hasVerse) {
            out_.erase(out_.begin() + std::ptrdiff_t(at));  // the poem itself is no verse
        } else if (!hasVerse && !hasPoem) {
            std::string found;
            for (const std::string& k : keys)
                found += (found.empty() ? "" : "، ") + named(k);
            whole.malformed = "لا مفتاح لنص البيت في الكائن. المفاتيح الموجودة: " +
                              (found.empty() ? std::string("لا شيء") : found) +
                              ". المعروفة: " + std::string(knownVerseNames());
        }
    }

    // A poem's strings are whole verses when they hold a line break, when a sign parts most of
    // them in two, or when they run as long as two hemistichs (ten words or more, mostly): the
    // layout their hemistichs are parted by (OneLine: not parted). None: they are hemistichs.
    static std::optional<TextLayout> wholeVerseLayout(const std::vector<std::string>& items)
    {
        if (items.empty())
            return std::nullopt;
        std::string lines;
        std::vector<size_t> words;
        for (const std::string& item : items) {
            if (item.find('\n') != std::string::npos)
                return TextLayout{Layout::OneLine, {}};
            (lines += item) += '\n';
            words.push_back(size_t(std::count(item.begin(), item.end(), ' ')) + 1);
        }
        const TextLayout layout = detectLayout(lines);
        if (layout.kind != Layout::OneLine && layout.kind != Layout::TwoLines)
            return layout;
        std::nth_element(words.begin(), words.begin() + std::ptrdiff_t(words.size() / 2), words.end());
        if (words[words.size() / 2] >= 10)
            return TextLayout{Layout::OneLine, {}};
        return std::nullopt;
    }

    void takeVerses(std::vector<std::string>& verses, const TextLayout& layout, size_t at)
    {
        for (std::string& verse : verses) {
            SourceRecord& r = push(out_[at].line, out_[at].raw);
            std::string_view first, second;
            const int pieces = layout.kind == Layout::OneLine ? 1 : splitLine(verse, layout, first, second);
            if (pieces == 2) {
                r.hemistich1 = first;
                r.hemistich2 = second;
            } else if (pieces == 1) {
                r.text = std::move(verse);
            } else {
                r.notOneVerse = "في البيت " + std::to_string(pieces) + " أجزاء بين الفواصل، والبيت شطران";
            }
        }
    }

    // Hemistichs listed one by one make verses two by two.
    void takeHemistichs(std::vector<std::string>& hemistichs, size_t at)
    {
        for (size_t k = 0; k < hemistichs.size(); k += 2) {
            SourceRecord& r = push(out_[at].line, out_[at].raw);
            if (k + 1 < hemistichs.size()) {
                r.hemistich1 = std::move(hemistichs[k]);
                r.hemistich2 = std::move(hemistichs[k + 1]);
            } else {
                r.notOneVerse = "بقي في القصيدة شطر واحد بلا ثانٍ";
            }
        }
    }

    // A poem's list: hemistichs (strings), verses (arrays of two) or verse objects.
    void readPoem(od::array list, std::string_view key, size_t at, std::vector<std::string>& hemistichs)
    {
        for (od::value item : list) {
            switch (item.type()) {
            case od::json_type::string: hemistichs.push_back(text(item, key)); break;
            case od::json_type::array: {
                std::vector<std::string> halves;
                texts(item, key, halves);
                SourceRecord& r = push(out_[at].line, out_[at].raw);
                for (size_t k = 0; k < halves.size(); ++k)
                    (r.text += k ? "\n" : "") += halves[k];
                break;
            }
            case od::json_type::object: {
                const size_t verse = out_.size();
                push(out_[at].line, out_[at].raw);
                readObject(item.get_object(), verse);
                break;
            }
            default: throw NotText{std::string(key)};
            }
        }
    }

    std::deque<SourceRecord>& out_;
};

int linesIn(std::string_view s)
{
    return int(std::count(s.begin(), s.end(), '\n'));
}

class JsonReader : public RecordReader {
public:
    explicit JsonReader(std::string_view utf8) : RecordReader(utf8), objects_(queue_)
    {
        const size_t start = utf8.find_first_not_of(" \t\r\n");
        if (start != std::string_view::npos && utf8[start] == '[')
            openArray();
    }

    bool next(SourceRecord& record) override
    {
        while (queue_.empty()) {
            if (!(inArray_ ? nextElement() : nextLine()))
                return false;
        }
        record = std::move(queue_.front());
        queue_.pop_front();
        return true;
    }

private:
    // simdjson reads up to SIMDJSON_PADDING bytes past the end of what it parses: the text
    // after a line serves, and the last lines are copied into a buffer with room after them.
    simdjson::padded_string_view padded(std::string_view s)
    {
        const size_t room = size_t(text_.data() + text_.size() - (s.data() + s.size()));
        if (room >= simdjson::SIMDJSON_PADDING)
            return simdjson::padded_string_view(s.data(), s.size(), s.size() + simdjson::SIMDJSON_PADDING);
        copy_.assign(s);
        copy_.resize(s.size() + simdjson::SIMDJSON_PADDING, ' ');
        return simdjson::padded_string_view(copy_.data(), s.size(), copy_.size());
    }

    // Where a token of the parsed buffer stands in the text.
    size_t offsetOf(std::string_view token) const
    {
        return size_t(token.data() - base_);
    }

    bool nextLine()
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
            const size_t first = queue_.size();
            try {
                od::document doc = parser_.iterate(padded(line));
                if (doc.type() != od::json_type::object) {
                    objects_.malformedOnly(first, number, line, "السطر " + std::string(kNotAnObject));
                    return true;
                }
                if (objects_.read(doc.get_value(), number, line) &&
                    doc.current_location().error() == simdjson::SUCCESS)
                    objects_.malformedOnly(first, number, line, "بعد الكائن في السطر نص زائد");
            } catch (const simdjson_error&) {
                objects_.malformedOnly(first, number, line, "ليس سطر JSON سليمًا");
            }
            return true;
        }
        pos_ = text_.size();
        return false;
    }

    void openArray()
    {
        inArray_ = true;
        try {
            const simdjson::padded_string_view whole = padded(text_);
            base_ = whole.data();
            document_ = parser_.iterate(whole);
            array_ = document_.get_array();
            it_ = array_.begin();
            end_ = array_.end();
        } catch (const simdjson_error&) {
            failed_ = true;
        }
    }

    // The next element of the array, its records with the line where it begins.
    bool nextElement()
    {
        if (done_)
            return false;
        const int line = line_;
        const auto where = [&](std::string_view token) {
            const size_t at = offsetOf(token);
            line_ += linesIn(text_.substr(pos_, at - pos_));
            pos_ = at;
        };
        try {
            if (!failed_ && it_ != end_) {
                od::value element = *it_;
                const std::string_view token = element.raw_json_token();
                where(token);
                objects_.read(element, line_, text_.substr(pos_, text_.find('\n', pos_) - pos_));
                ++it_;
                return true;
            }
            if (!failed_) {
                done_ = true;
                pos_ = text_.size();
                return false;
            }
        } catch (const simdjson_error&) {
        }
        // What follows cannot be read: one refusal names the lines it spans.
        done_ = true;
        SourceRecord& r = queue_.emplace_back();
        r.line = line_ > line ? line_ : line;
        r.lastLine = line_ + linesIn(text_.substr(pos_));
        r.raw = text_.substr(pos_, text_.find('\n', pos_) - pos_);
        r.malformed = "ملف JSON غير سليم من هنا إلى آخره، فلم يُقرأ منه شيء بعد هذا السطر";
        pos_ = text_.size();
        return true;
    }

    std::deque<SourceRecord> queue_;
    ObjectReader objects_;
    od::parser parser_;
    std::string copy_;
    const char* base_ = nullptr;  // the buffer the array was parsed in
    bool inArray_ = false, failed_ = false, done_ = false;
    od::document document_;
    od::array array_;
    od::array_iterator it_, end_;
};

}  // namespace

std::unique_ptr<RecordReader> makeJsonLinesReader(std::string_view utf8)
{
    return std::make_unique<JsonReader>(utf8);
}

}  // namespace barqeen::exchange
