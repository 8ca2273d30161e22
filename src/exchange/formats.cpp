#include "exchange/formats.h"

#include "exchange/columns.h"
#include "text/codepage.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace barqeen::exchange {
namespace {

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

Format formatFromName(std::string_view path)
{
    const std::string ext = lowered(std::filesystem::path(path).extension().string());
    if (ext == ".txt" || ext == ".text")
        return Format::Text;
    if (ext == ".csv")
        return Format::Csv;
    if (ext == ".tsv" || ext == ".tab")
        return Format::Tsv;
    if (ext == ".jsonl" || ext == ".ndjson" || ext == ".json")
        return Format::JsonLines;
    return Format::Auto;
}

Format formatFromContent(std::string_view utf8)
{
    size_t start = 0;
    while (start < utf8.size() && std::isspace(static_cast<unsigned char>(utf8[start])))
        ++start;
    const std::string_view firstLine = utf8.substr(start, utf8.find('\n', start) - start);
    if (startsWith(firstLine, "{"))
        return Format::JsonLines;
    for (const auto& [format, separator] : {std::pair{Format::Tsv, '\t'}, {Format::Csv, ','}, {Format::Csv, ';'}}) {
        if (firstLine.find(separator) == std::string_view::npos)
            continue;
        // A header row names a text column among its cells.
        size_t from = 0;
        while (from <= firstLine.size()) {
            const size_t to = std::min(firstLine.find(separator, from), firstLine.size());
            std::string_view cell = firstLine.substr(from, to - from);
            if (!cell.empty() && cell.back() == '\r')
                cell.remove_suffix(1);
            const Column c = columnOf(cell);
            if (c == Column::Text || c == Column::Hemistich1)
                return format;
            from = to + 1;
        }
    }
    return Format::Text;
}

std::string_view formatName(Format format)
{
    switch (format) {
    case Format::Auto: return "auto";
    case Format::Text: return "text";
    case Format::Csv: return "csv";
    case Format::Tsv: return "tsv";
    case Format::JsonLines: return "jsonl";
    }
    return "";
}

bool parseFormat(std::string_view name, Format& format)
{
    const std::string n = lowered(name);
    for (Format f : {Format::Auto, Format::Text, Format::Csv, Format::Tsv, Format::JsonLines})
        if (n == formatName(f)) {
            format = f;
            return true;
        }
    if (n == "txt") {
        format = Format::Text;
        return true;
    }
    return false;
}

std::string_view encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Auto: return "auto";
    case Encoding::Utf8: return "utf-8";
    case Encoding::Utf16: return "utf-16";
    case Encoding::Windows1256: return "windows-1256";
    }
    return "";
}

bool parseEncoding(std::string_view name, Encoding& encoding)
{
    const std::string n = lowered(name);
    if (n == "auto")
        encoding = Encoding::Auto;
    else if (n == "utf-8" || n == "utf8")
        encoding = Encoding::Utf8;
    else if (n == "windows-1256" || n == "cp1256" || n == "1256")
        encoding = Encoding::Windows1256;
    else
        return false;
    return true;
}

bool isValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Eight ASCII bytes at a time: most of a file's bytes outside the Arabic letters.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        int extra;
        char32_t code;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (p[i] & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

std::string decodeToUtf8(std::string bytes, Encoding chosen, Encoding& used)
{
    const std::string_view bom8 = "\xEF\xBB\xBF";
    const bool hasBom8 = startsWith(bytes, bom8);
    const bool hasBom16 = startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF");
    used = chosen;
    if (chosen == Encoding::Auto)
        used = hasBom8 ? Encoding::Utf8 : hasBom16 ? Encoding::Utf16 : isValidUtf8(bytes) ? Encoding::Utf8
                                                                                          : Encoding::Windows1256;
    switch (used) {
    case Encoding::Utf8:
        if (hasBom8)
            bytes.erase(0, bom8.size());
        if (!isValidUtf8(bytes))
            return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toStdString();
        return bytes;
    case Encoding::Utf16: {
        QStringDecoder decoder(QStringConverter::Utf16, QStringConverter::Flag::Stateless);
        return QString(decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())))).toStdString();
    }
    case Encoding::Windows1256:
    case Encoding::Auto:
        break;
    }
    return codepage::toUtf8(bytes);
}

}  // namespace barqeen::exchange
