// CSV and TSV: a header row naming the columns, then one record a row. A field in double quotes
// may hold the separator, line breaks and doubled quotes ("").
#include "core/exchange/columns.h"
#include "core/exchange/record_reader.h"

#include "core/common/error.h"

#include <algorithm>
#include <array>

namespace barqeen::exchange {
namespace {

class DelimitedReader : public RecordReader {
public:
    DelimitedReader(std::string_view utf8, char separator) : RecordReader(utf8), separator_(separator)
    {
        readHeader();
    }

    bool next(SourceRecord& record) override
    {
        while (pos_ < text_.size()) {
            record.clear();
            record.line = line_;
            const size_t start = pos_;
            if (!readFields(record.malformed)) {
                record.raw = rawFrom(start);
                spanOf(record);
                return true;
            }
            record.raw = rawFrom(start);
            spanOf(record);
            if (allBlank())
                continue;
            // Fields left out at the end are empty, as spreadsheets read them; more fields than
            // the header names are a fault unless they are empty.
            if (count_ > columns_.size() && !blankFrom(columns_.size())) {
                record.malformed = "عدد الحقول " + std::to_string(count_) + " وفي سطر العناوين " +
                                   std::to_string(columns_.size()) + " فقط";
                return true;
            }
            for (size_t i = 0; i < std::min(count_, columns_.size()); ++i)
                takeField(columns_[i], std::move(fields_[i]), record);
            return true;
        }
        return false;
    }

private:
    void readHeader()
    {
        std::string problem;
        while (pos_ < text_.size()) {
            if (!readFields(problem))
                throw Error("سطر العناوين (الأول) غير سليم: " + problem + ".");
            if (!allBlank())
                break;
        }
        bool hasText = false, hasFirst = false;
        std::string found;
        for (size_t i = 0; i < count_; ++i) {
            const std::string& name = fields_[i];
            Column c = columnOf(trimmed(name));
            // The first column of a kind counts; a second one of the same kind is ignored.
            if (c != Column::Unknown && seen_[size_t(c)])
                c = Column::Unknown;
            seen_[size_t(c)] = true;
            hasText = hasText || c == Column::Text || c == Column::Verses;
            hasFirst = hasFirst || c == Column::Hemistich1;
            columns_.push_back(c);
            found += (found.empty() ? "" : "، ") + std::string("\u2068") + std::string(trimmed(name)) + "\u2069";
        }
        if (!hasText && !hasFirst)
            throw Error("لا يوجد في سطر العناوين عمود لنص البيت، فلم يُستورد شيء من الملف. سمِّ العمود "
                        "\u2066text\u2069 أو «نص البيت»، أو اجعل الشطرين في عمودين "
                        "\u2066hemistich1\u2069 و\u2066hemistich2\u2069. العناوين الموجودة: " +
                        (found.empty() ? std::string("لا شيء") : found) + ".");
    }

    bool allBlank() const { return blankFrom(0); }

    bool blankFrom(size_t first) const
    {
        for (size_t i = first; i < count_; ++i)
            if (!trimmed(fields_[i]).empty())
                return false;
        return true;
    }

    // A record over several lines names its last one, so that every line is accounted for.
    static void spanOf(SourceRecord& record)
    {
        const int breaks = int(std::count(record.raw.begin(), record.raw.end(), '\n'));
        record.lastLine = breaks ? record.line + breaks : 0;
    }

    std::string_view rawFrom(size_t start) const
    {
        std::string_view raw = text_.substr(start, pos_ - start);
        while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r'))
            raw.remove_suffix(1);
        return raw;
    }

    // Leaves pos_ after the line break that ends the physical line at `from`.
    void skipLine(size_t from)
    {
        const size_t end = text_.find('\n', from);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (end != std::string_view::npos)
            ++line_;
    }

    // One record into fields_; false with the reason when it is malformed. pos_ then stands
    // after the record, or after the line where the fault lies, so that reading goes on.
    bool readFields(std::string& problem)
    {
        size_t count = 0;
        const auto field = [&]() -> std::string& {
            if (fields_.size() <= count)
                fields_.emplace_back();
            fields_[count].clear();
            return fields_[count++];
        };
        const size_t recordStart = pos_;
        const int recordLine = line_;
        while (true) {
            std::string& out = field();
            if (pos_ < text_.size() && text_[pos_] == '"') {
                ++pos_;
                while (true) {
                    const size_t quote = text_.find('"', pos_);
                    if (quote == std::string_view::npos) {
                        problem = "علامة التنصيص \" مفتوحة لا تُغلق";
                        line_ = recordLine;
                        skipLine(recordStart);
                        count_ = count;
                        return false;
                    }
                    const std::string_view piece = text_.substr(pos_, quote - pos_);
                    line_ += int(std::count(piece.begin(), piece.end(), '\n'));
                    out.append(piece);
                    pos_ = quote + 1;
                    if (pos_ < text_.size() && text_[pos_] == '"') {
                        out += '"';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                // After the closing quote: the separator or the end of the record.
                size_t after = pos_;
                while (after < text_.size() && text_[after] == ' ')
                    ++after;
                if (after < text_.size() && text_[after] != separator_ && text_[after] != '\n' &&
                    !(text_[after] == '\r' && (after + 1 == text_.size() || text_[after + 1] == '\n'))) {
                    problem = "نص بعد علامة التنصيص التي تُغلق الحقل";
                    skipLine(after);
                    count_ = count;
                    return false;
                }
                pos_ = after;
            } else {
                size_t end = pos_;
                while (end < text_.size() && text_[end] != separator_ && text_[end] != '\n')
                    ++end;
                std::string_view piece = text_.substr(pos_, end - pos_);
                if (end < text_.size() && text_[end] == '\n' && !piece.empty() && piece.back() == '\r')
                    piece.remove_suffix(1);
                else if (end == text_.size() && !piece.empty() && piece.back() == '\r')
                    piece.remove_suffix(1);
                out.assign(piece);
                pos_ = end;
            }
            if (pos_ < text_.size() && text_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '\r')
                ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
                ++line_;
            }
            count_ = count;
            return true;
        }
    }

    char separator_;
    std::vector<Column> columns_;
    std::array<bool, kColumnKinds> seen_{};
    std::vector<std::string> fields_;  // kept from record to record, for their room
    size_t count_ = 0;                 // the fields of the record last read
};

}  // namespace

std::unique_ptr<RecordReader> makeDelimitedReader(std::string_view utf8, char separator)
{
    return std::make_unique<DelimitedReader>(utf8, separator);
}

}  // namespace barqeen::exchange
