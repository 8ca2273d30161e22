#include "core/exchange/formats.h"

#include "core/exchange/columns.h"
#include "core/common/error.h"
#include "core/text/codepage.h"

#include <QString>
#include <QStringDecoder>
#include <simdjson.h>

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
    if (startsWith(firstLine, "{") || startsWith(firstLine, "["))
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

Format formatOf(std::string_view path, std::string_view utf8)
{
    const Format byName = formatFromName(path);
    if (byName == Format::Auto)
        return formatFromContent(utf8);
    if (byName == Format::Text && formatFromContent(utf8) == Format::Tsv)
        return Format::Tsv;
    return byName;
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
    else if (n == "utf-16" || n == "utf16")
        encoding = Encoding::Utf16;
    else
        return false;
    return true;
}

bool isValidUtf8(std::string_view bytes)
{
    // simdjson's checker: the same rules (no overlong forms, no surrogates, nothing past
    // U+10FFFF) at many bytes a step, which matters on a file of a million lines.
    return simdjson::validate_utf8(bytes.data(), bytes.size());
}

namespace {

constexpr std::string_view kBom8 = "\xEF\xBB\xBF", kBom16Le = "\xFF\xFE", kBom16Be = "\xFE\xFF";

enum class ByteOrder { None, Little, Big };

// UTF-16 without a mark: the high bytes of its characters (00 for the ASCII ones, 06 for the
// Arabic letters) fill every other place, and the other places hold almost none of them.
ByteOrder utf16Evidence(std::string_view bytes)
{
    const size_t n = std::min(bytes.size(), size_t(1) << 16) & ~size_t(1);
    if (n < 4)
        return ByteOrder::None;
    size_t high[2] = {0, 0};
    for (size_t i = 0; i < n; ++i) {
        const auto c = uint8_t(bytes[i]);
        high[i % 2] += c == 0x00 || c == 0x06;
    }
    const size_t half = n / 2;
    if (high[1] * 2 > half && high[0] * 10 < half)
        return ByteOrder::Little;
    if (high[0] * 2 > half && high[1] * 10 < half)
        return ByteOrder::Big;
    return ByteOrder::None;
}

// The valid sequences of two bytes or more, and the bytes that begin no valid sequence.
void utf8Evidence(std::string_view bytes, size_t& valid, size_t& invalid)
{
    valid = invalid = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        while (i < bytes.size() && uint8_t(bytes[i]) < 0x80)
            ++i;
        if (i == bytes.size())
            break;
        const auto c = uint8_t(bytes[i]);
        const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra > 0 && i + size_t(extra) < bytes.size() && isValidUtf8(bytes.substr(i, size_t(extra) + 1))) {
            ++valid;
            i += size_t(extra) + 1;
        } else {
            ++invalid;
            ++i;
        }
    }
}

std::string contradiction(std::string_view what, Encoding chosen)
{
    return "الترميز المختار \u2066" + std::string(encodingName(chosen)) + "\u2069 يخالف الملف: " + std::string(what) +
           ". لم يُستورد منه شيء؛ اختر الترميز «تلقائي» أو ترميز الملف.";
}

// Valid UTF-8 that reads as Arabic letters (U+0600 to U+06FF) is surely UTF-8; a few Windows-1256
// bytes may also pass as UTF-8, but then they read as other scripts.
bool hasArabicUtf8(std::string_view bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (uint8_t(bytes[i]) >= 0xD8 && uint8_t(bytes[i]) <= 0xDB && (uint8_t(bytes[i + 1]) & 0xC0) == 0x80)
            return true;
    return false;
}

// Lines ended by CR alone (an old Mac file) become lines ended by LF.
void endLinesWithLf(std::string& text)
{
    if (text.find('\r') != std::string::npos && text.find('\n') == std::string::npos)
        std::replace(text.begin(), text.end(), '\r', '\n');
}

}  // namespace

Encoding detectEncoding(std::string_view bytes)
{
    if (startsWith(bytes, kBom8))
        return Encoding::Utf8;
    if (startsWith(bytes, kBom16Le) || startsWith(bytes, kBom16Be) || utf16Evidence(bytes) != ByteOrder::None)
        return Encoding::Utf16;
    if (isValidUtf8(bytes))
        return Encoding::Utf8;
    size_t valid = 0, invalid = 0;
    utf8Evidence(bytes, valid, invalid);
    return invalid * 20 < valid ? Encoding::Utf8 : Encoding::Windows1256;
}

std::string decodeToUtf8(std::string bytes, Encoding chosen, Encoding& used)
{
    const bool hasBom8 = startsWith(bytes, kBom8);
    const bool hasBom16 = startsWith(bytes, kBom16Le) || startsWith(bytes, kBom16Be);
    const Encoding shown = detectEncoding(bytes);
    if (chosen != Encoding::Auto && chosen != shown) {
        if (hasBom8 || hasBom16)
            throw Error(contradiction("يبدأ بعلامة ترتيب البايتات لترميز \u2066" +
                                          std::string(encodingName(shown)) + "\u2069",
                                      chosen));
        if (chosen == Encoding::Windows1256 && shown == Encoding::Utf8 && isValidUtf8(bytes) && hasArabicUtf8(bytes))
            throw Error(contradiction("هو نص عربي بترميز \u2066UTF-8\u2069 سليم كله", chosen));
        // Read in an encoding its bytes are not, the file would show only replacement marks.
        if (chosen == Encoding::Utf8 && shown == Encoding::Windows1256 && !isValidUtf8(bytes))
            throw Error(contradiction("فيه بايتات لا تصح في \u2066UTF-8\u2069، فليس نصًا بهذا الترميز", chosen));
        if (chosen == Encoding::Utf16 && shown != Encoding::Utf16)
            throw Error(contradiction("ليس فيه ما يدل على \u2066UTF-16\u2069 (بايت صفري بين كل حرفين)", chosen));
    }
    used = chosen == Encoding::Auto ? shown : chosen;
    std::string text;
    switch (used) {
    case Encoding::Utf8:
        if (hasBom8)
            bytes.erase(0, kBom8.size());
        if (!isValidUtf8(bytes))
            text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toStdString();
        else
            text = std::move(bytes);
        break;
    case Encoding::Utf16: {
        const ByteOrder order = startsWith(bytes, kBom16Be) ? ByteOrder::Big
                              : startsWith(bytes, kBom16Le) ? ByteOrder::Little
                                                            : utf16Evidence(bytes);
        QStringDecoder decoder(order == ByteOrder::Big ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        text = QString(decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())))).toStdString();
        if (startsWith(text, kBom8))
            text.erase(0, kBom8.size());
        break;
    }
    case Encoding::Windows1256:
    case Encoding::Auto:
        text = codepage::toUtf8(bytes);
        break;
    }
    endLinesWithLf(text);
    return text;
}

}  // namespace barqeen::exchange
