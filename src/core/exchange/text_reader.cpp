// Plain text: a verse a line with a separator between its hemistichs, or each hemistich on a line
// of its own; lines that do not split as the verses do are headings (titles, poets' names), and
// a number before a verse is dropped.
#include "core/exchange/record_reader.h"

#include <algorithm>
#include <deque>

namespace barqeen::exchange {
namespace {

std::string pieces(int count)
{
    return "في السطر " + std::to_string(count) + " أجزاء بين الفواصل، والبيت شطران";
}

// A heading that names a poet may open with a label: «للشاعر: أبو العتاهية», «الشاعر: …»,
// «قال: …». One or two words before a colon are a label, not part of the name.
std::string nameAfterLabel(const std::string& heading)
{
    const size_t colon = heading.find(':');
    if (colon == std::string::npos)
        return heading;
    const std::string_view label = trimmed(std::string_view(heading).substr(0, colon));
    const std::string_view name = trimmed(std::string_view(heading).substr(colon + 1));
    const size_t words = label.empty() ? 0 : size_t(std::count(label.begin(), label.end(), ' ')) + 1;
    return words >= 1 && words <= 2 && !name.empty() ? std::string(name) : heading;
}

class TextLinesReader : public RecordReader {
public:
    TextLinesReader(std::string_view utf8, const ReadOptions& options)
        : RecordReader(utf8),
          layout_(options.layout.kind == Layout::Auto ? detectLayout(utf8) : options.layout),
          headingPoet_(options.headingPoet),
          numbered_(layout_.kind == Layout::TwoLines && usesVerseNumbers(utf8))
    {
    }

    TextLayout layout() const override { return layout_; }

    bool next(SourceRecord& record) override
    {
        if (layout_.kind == Layout::TwoLines)
            return nextOfTwoLines(record);
        Line line;
        while (readLine(line)) {
            if (line.text.empty())
                continue;
            record.clear();
            record.line = line.number;
            record.raw = line.raw;
            std::string_view first, second;
            const bool oneLine = layout_.kind == Layout::OneLine;
            const int count = splitLine(line.text, oneLine ? TextLayout{Layout::Tab, {}} : layout_, first, second);
            if (count >= 3) {
                record.notOneVerse = pieces(count);
            } else if (count == 2) {
                record.hemistich1 = first;
                record.hemistich2 = second;
                givePoet(record);
            } else if (oneLine) {
                record.text = line.text;
            } else {
                takeHeading(record, line.text);
            }
            return true;
        }
        return false;
    }

private:
    struct Line {
        int number = 0;
        std::string_view raw;   // as in the file, without the line break
        std::string_view text;  // trimmed, its verse number dropped; empty when blank
        bool numbered = false;
    };

    bool readLine(Line& line)
    {
        if (pos_ >= text_.size()) {
            pos_ = text_.size();
            return false;
        }
        const size_t end = std::min(text_.find('\n', pos_), text_.size());
        line.raw = text_.substr(pos_, end - pos_);
        if (!line.raw.empty() && line.raw.back() == '\r')
            line.raw.remove_suffix(1);
        line.number = line_++;
        pos_ = end + 1;
        const std::string_view text = trimmed(line.raw);
        const size_t number = verseNumberLength(text);
        line.numbered = number > 0;
        line.text = text.substr(number);
        return true;
    }

    void takeHeading(SourceRecord& record, std::string_view text)
    {
        record.heading = true;
        record.text = text;
        if (!inHeadings_)
            firstHeading_ = record.text;
        lastHeading_ = record.text;
        inHeadings_ = true;
    }

    void givePoet(SourceRecord& record)
    {
        inHeadings_ = false;
        if (headingPoet_ == HeadingPoet::First)
            record.poet = nameAfterLabel(firstHeading_);
        else if (headingPoet_ == HeadingPoet::Last)
            record.poet = nameAfterLabel(lastHeading_);
    }

    // A poem (the lines up to a blank line): in a numbered file numbered lines begin verses, the next line is the
    // second hemistich; without numbers the lines pair up, the first of an odd count a heading.
    bool nextOfTwoLines(SourceRecord& record)
    {
        while (queue_.empty()) {
            std::vector<Line> poem;
            Line line;
            while (readLine(line)) {
                if (!line.text.empty())
                    poem.push_back(line);
                else if (!poem.empty())
                    break;
            }
            if (poem.empty())
                return false;
            readPoem(poem);
        }
        record = std::move(queue_.front());
        queue_.pop_front();
        return true;
    }

    void readPoem(const std::vector<Line>& poem)
    {
        if (numbered_)
            return readVerses(poem);
        // Without numbers a short line (a poet's name, a title) is a heading wherever it stands,
        // and the lines between headings pair up.
        std::vector<Line> verses;
        for (const Line& line : poem) {
            if (!isShortLine(line.text)) {
                verses.push_back(line);
                continue;
            }
            readVerses(verses);
            verses.clear();
            heading(line);
        }
        readVerses(verses);
    }

    void readVerses(const std::vector<Line>& poem)
    {
        const bool numbered = numbered_;
        size_t i = 0;
        if (!numbered && poem.size() % 2 == 1)
            heading(poem[i++]);
        while (i < poem.size()) {
            const Line& first = poem[i];
            const bool pairs = numbered ? first.numbered && i + 1 < poem.size() && !poem[i + 1].numbered
                                        : i + 1 < poem.size();
            if (!pairs) {
                if (numbered && first.numbered) {
                    SourceRecord& r = push(first);
                    r.notOneVerse = "شطر واحد بلا شطر ثانٍ يليه";
                } else {
                    heading(first);
                }
                ++i;
                continue;
            }
            const Line& second = poem[i + 1];
            SourceRecord& r = push(first);
            r.lastLine = second.number;
            r.raw = std::string_view(first.raw.data(), size_t(second.raw.data() + second.raw.size() - first.raw.data()));
            r.hemistich1 = first.text;
            r.hemistich2 = second.text;
            givePoet(r);
            i += 2;
        }
    }

    SourceRecord& push(const Line& line)
    {
        SourceRecord& r = queue_.emplace_back();
        r.line = line.number;
        r.raw = line.raw;
        return r;
    }

    void heading(const Line& line) { takeHeading(push(line), trimmed(line.raw)); }

    TextLayout layout_;
    HeadingPoet headingPoet_;
    bool numbered_;  // hemistichs on lines of their own: numbers begin the verses
    bool inHeadings_ = false;
    std::string firstHeading_, lastHeading_;
    std::deque<SourceRecord> queue_;
};

}  // namespace

std::unique_ptr<RecordReader> makeTextLinesReader(std::string_view utf8, const ReadOptions& options)
{
    return std::make_unique<TextLinesReader>(utf8, options);
}

}  // namespace barqeen::exchange
