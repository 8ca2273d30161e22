#pragma once
// Reading a verse file record by record: plain text lines, CSV or TSV rows under a header, or
// JSON Lines. A record carries its fields as the file gives them (UTF-8), or why it cannot be
// read; turning fields into a verse is verse_fields' job.
#include "core/exchange/columns.h"
#include "core/exchange/formats.h"
#include "core/exchange/text_layout.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen::exchange {

struct SourceRecord {
    int line = 0;           // the record's first line in the file, 1-based
    int lastLine = 0;       // its last line, when it spans several
    std::string_view raw;   // the record as it stands in the file (without its line break)
    std::string malformed;  // why the record cannot be read (Arabic); empty when it can
    std::string notOneVerse;  // why it holds more or less than one verse (Arabic); empty when it does
    bool heading = false;     // a poem's title or a poet's name among the verses, in text
    // The verse in one field, or in two hemistich fields; the other fields may be empty.
    std::string text, hemistich1, hemistich2, poet, firstLetter, lastLetter;
    std::vector<std::string> categories;

    void clear();
};

// How a plain-text file is read; the other formats name their fields.
struct ReadOptions {
    TextLayout layout;  // Auto: decided from the file
    HeadingPoet headingPoet = HeadingPoet::None;
};

class RecordReader {
public:
    virtual ~RecordReader() = default;
    // The next record that is not blank; false at the end of the file.
    virtual bool next(SourceRecord& record) = 0;
    // How far into the text the reader has come, in bytes.
    size_t consumed() const { return pos_; }
    // The layout of a plain-text file, as chosen or decided; Auto for the other formats.
    virtual TextLayout layout() const { return {}; }

protected:
    explicit RecordReader(std::string_view utf8) : text_(utf8) {}
    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;  // the line at pos_
};

// A reader for this format (not Auto) over text that outlives it. Throws Error (Arabic) when the
// file cannot be read at all: a header row without a column for the verse.
std::unique_ptr<RecordReader> makeReader(Format format, std::string_view utf8, const ReadOptions& options = {});

// Category names in one field are separated by ';', the Arabic comma '،' or semicolon '؛'.
void splitCategories(std::string_view field, std::vector<std::string>& names);

// A field's text put where its column says in the record (a list of verses counts as the text).
void takeField(Column column, std::string&& field, SourceRecord& record);

// A field or line without the spaces, TABs and CRs around it.
std::string_view trimmed(std::string_view s);

// The record readers of each kind (text_reader.cpp, delimited_reader.cpp, json_reader.cpp).
std::unique_ptr<RecordReader> makeTextLinesReader(std::string_view utf8, const ReadOptions& options);
std::unique_ptr<RecordReader> makeDelimitedReader(std::string_view utf8, char separator);
std::unique_ptr<RecordReader> makeJsonLinesReader(std::string_view utf8);

}  // namespace barqeen::exchange
