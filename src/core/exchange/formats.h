#pragma once
// The kinds of file verses come in and go out as, and how a file's bytes become UTF-8 text.
#include <string>
#include <string_view>

namespace barqeen::exchange {

enum class Format {
    Auto,       // from the file's name, else from its first line
    Text,       // one verse a line, a TAB between the hemistichs (import only)
    Csv,        // comma-separated with a header row (a semicolon where the header uses one)
    Tsv,        // TAB-separated with a header row
    JsonLines,  // one JSON object a line
};

enum class Encoding {
    Auto,         // a byte-order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1256
    Utf8,
    Utf16,        // by its byte-order mark, or by its zero and 06 bytes in every other place
    Windows1256,
};

// The format a file's name asks for (.txt, .csv, .tsv/.tab, .jsonl/.ndjson/.json); Auto when
// the name tells nothing.
Format formatFromName(std::string_view path);
// A file whose name tells nothing: a first line that opens a JSON object or array, a header row,
// or text.
Format formatFromContent(std::string_view utf8);
// The format of a file from its name and, where the name is not enough, its content: a .txt
// whose first line is a TAB-separated header of known columns (a spreadsheet's "Unicode text")
// is TSV.
Format formatOf(std::string_view path, std::string_view utf8);

// Names for the command line and for messages: "text", "csv", "tsv", "jsonl"; "utf-8",
// "utf-16", "windows-1256". The parsers answer false for a name they do not know.
std::string_view formatName(Format format);
bool parseFormat(std::string_view name, Format& format);
std::string_view encodingName(Encoding encoding);
bool parseEncoding(std::string_view name, Encoding& encoding);

bool isValidUtf8(std::string_view bytes);

// The encoding the bytes show: a byte-order mark; UTF-16 without one; UTF-8 when the bytes are
// valid UTF-8 but for a few (those become U+FFFD and their lines are refused); else Windows-1256.
Encoding detectEncoding(std::string_view bytes);

// The file's bytes as UTF-8 without a byte-order mark, with lines ended by LF where the file ends
// them by CR alone. `chosen` Auto recognises the encoding; the one used is written to `used`.
// Bytes that are not valid in a chosen UTF-8 become U+FFFD. A chosen encoding the bytes
// contradict (a byte-order mark of another, or a Windows-1256 file that is valid UTF-8 with
// Arabic in it) throws Error with a message that says so.
std::string decodeToUtf8(std::string bytes, Encoding chosen, Encoding& used);

}  // namespace barqeen::exchange
