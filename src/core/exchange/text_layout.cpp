#include "core/exchange/text_layout.h"

#include <QString>

#include <algorithm>
#include <array>

namespace barqeen::exchange {
namespace {

struct LayoutInfo {
    Layout layout;
    std::string_view name;
    std::string_view title;  // Arabic
};

constexpr LayoutInfo kLayouts[] = {
    {Layout::Auto, "auto", "يُعرف من الملف"},
    {Layout::OneLine, "line", "البيت كله في سطر واحد"},
    {Layout::Tab, "tab", "علامة الجدولة (TAB) بين الشطرين"},
    {Layout::Spaces, "spaces", "مسافتان أو أكثر بين الشطرين"},
    {Layout::Star, "star", "« * » بين الشطرين"},
    {Layout::Stars, "stars", "« *** » بين الشطرين"},
    {Layout::Dots, "dots", "« ... » بين الشطرين"},
    {Layout::Ellipsis, "ellipsis", "« … » بين الشطرين"},
    {Layout::Dash, "dash", "« - » أو « – » بين الشطرين"},
    {Layout::Hash, "hash", "« # » بين الشطرين"},
    {Layout::Bar, "bar", "« | » بين الشطرين"},
    {Layout::TwoLines, "two-lines", "كل شطر في سطر، وبين القصائد سطر فارغ"},
    {Layout::Custom, "custom", ""},
};

// The separators tried when the file decides, in the order that wins a tie.
constexpr Layout kSeparators[] = {Layout::Tab,  Layout::Stars, Layout::Star, Layout::Ellipsis, Layout::Dots,
                                  Layout::Dash, Layout::Hash,  Layout::Bar,  Layout::Spaces};

constexpr size_t kSampleLines = 5000;

bool isBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlankChar(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back()))
        s.remove_suffix(1);
    return s;
}

// The length of the digit at i (ASCII, Arabic-Indic or Persian), or zero.
size_t digitAt(std::string_view s, size_t i)
{
    if (i < s.size() && s[i] >= '0' && s[i] <= '9')
        return 1;
    if (i + 1 < s.size()) {
        const auto lead = uint8_t(s[i]), next = uint8_t(s[i + 1]);
        if ((lead == 0xD9 && next >= 0xA0 && next <= 0xA9) || (lead == 0xDB && next >= 0xB0 && next <= 0xB9))
            return 2;
    }
    return 0;
}

// The separator at or after from: its position and length; npos when there is none.
std::pair<size_t, size_t> findSeparator(std::string_view line, size_t from, const TextLayout& layout)
{
    const auto find = [&](std::string_view what) { return std::pair{line.find(what, from), what.size()}; };
    switch (layout.kind) {
    case Layout::Tab:
    case Layout::OneLine: return find("\t");
    case Layout::Spaces: {
        const size_t at = line.find("  ", from);
        if (at == std::string_view::npos)
            return {at, 0};
        size_t end = at;
        while (end < line.size() && line[end] == ' ')
            ++end;
        return {at, end - at};
    }
    case Layout::Star: return find(" * ");
    case Layout::Stars: return find(" *** ");
    case Layout::Dots: return find(" ... ");
    case Layout::Ellipsis: return find(" \u2026 ");
    case Layout::Hash: return find(" # ");
    case Layout::Bar: return find(" | ");
    case Layout::Dash: {
        const auto hyphen = find(" - "), enDash = find(" \u2013 ");
        return hyphen.first <= enDash.first ? hyphen : enDash;
    }
    case Layout::Custom:
        if (layout.separator.empty())
            return {std::string_view::npos, 0};
        return find(layout.separator);
    case Layout::Auto:
    case Layout::TwoLines: break;
    }
    return {std::string_view::npos, 0};
}

struct SampleLine {
    std::string_view text;  // without its number
    bool numbered = false;
    bool blank = true;
    bool isShort = false;
};

std::vector<SampleLine> sampleOf(std::string_view utf8)
{
    std::vector<SampleLine> lines;
    size_t pos = 0, content = 0;
    while (pos < utf8.size() && content < kSampleLines) {
        const size_t end = std::min(utf8.find('\n', pos), utf8.size());
        std::string_view line = trimmed(utf8.substr(pos, end - pos));
        pos = end + 1;
        SampleLine s;
        const size_t number = verseNumberLength(line);
        s.numbered = number > 0;
        s.text = line.substr(number);
        s.blank = line.empty();
        s.isShort = !s.blank && isShortLine(s.text);
        content += !s.blank;
        lines.push_back(s);
    }
    return lines;
}

bool rhymesEveryOtherLine(const std::vector<SampleLine>& lines);

// Hemistichs on lines of their own show as numbered lines each followed by one without a number,
// or as poems (runs of lines between blank lines) that all have an even count of lines.
bool looksLikeTwoLines(const std::vector<SampleLine>& lines)
{
    size_t content = 0, numbered = 0, pairedNumbers = 0;
    size_t runs = 0, evenRuns = 0, run = 0;
    const auto endRun = [&] {
        if (run >= 2) {
            ++runs;
            evenRuns += run % 2 == 0;
        }
        run = 0;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].blank) {
            endRun();
            continue;
        }
        ++content;
        ++run;
        if (lines[i].numbered) {
            ++numbered;
            pairedNumbers += i + 1 < lines.size() && !lines[i + 1].blank && !lines[i + 1].numbered;
        }
    }
    endRun();
    // Titles and poets' names between the poems leave fewer numbered lines than half.
    if (numbered >= 2 && numbered * 5 >= content && pairedNumbers * 10 >= numbered * 7)
        return true;
    return numbered == 0 && ((runs >= 2 && evenRuns * 10 >= runs * 8) || rhymesEveryOtherLine(lines));
}

// A poem's second hemistichs share its rhyme, its first ones mostly do not: in a file of
// hemistichs on lines of their own, every other line rhymes. Headings (short lines) and blank
// lines part the poems; a file of whole verses rhymes on every line and is not taken for this.
bool rhymesEveryOtherLine(const std::vector<SampleLine>& lines)
{
    size_t pairs = 0, secondsRhyme = 0, firstsRhyme = 0;
    std::vector<char32_t> poem;
    const auto endPoem = [&] {
        // Consecutive pairs of lines: the second lines of two pairs, and the first lines.
        for (size_t i = 0; i + 3 < poem.size(); i += 2) {
            ++pairs;
            secondsRhyme += poem[i + 1] != 0 && poem[i + 1] == poem[i + 3];
            firstsRhyme += poem[i] != 0 && poem[i] == poem[i + 2];
        }
        poem.clear();
    };
    for (const SampleLine& line : lines) {
        if (line.blank || line.isShort) {
            endPoem();
            continue;
        }
        poem.push_back(lastLetterOf(line.text));
    }
    endPoem();
    return pairs >= 3 && secondsRhyme * 10 >= pairs * 7 && firstsRhyme * 2 < secondsRhyme;
}

}  // namespace

std::string_view layoutName(Layout layout)
{
    for (const LayoutInfo& info : kLayouts)
        if (info.layout == layout)
            return info.name;
    return "";
}

bool parseLayout(std::string_view name, Layout& layout)
{
    for (const LayoutInfo& info : kLayouts)
        if (info.name == name && info.layout != Layout::Custom) {
            layout = info.layout;
            return true;
        }
    return false;
}

std::string_view headingPoetName(HeadingPoet rule)
{
    switch (rule) {
    case HeadingPoet::None: return "none";
    case HeadingPoet::First: return "first";
    case HeadingPoet::Last: return "last";
    }
    return "";
}

bool parseHeadingPoet(std::string_view name, HeadingPoet& rule)
{
    for (HeadingPoet r : {HeadingPoet::None, HeadingPoet::First, HeadingPoet::Last})
        if (headingPoetName(r) == name) {
            rule = r;
            return true;
        }
    return false;
}

std::string layoutTitle(const TextLayout& layout)
{
    if (layout.kind == Layout::Custom)
        return "«\u2066" + layout.separator + "\u2069» بين الشطرين";
    for (const LayoutInfo& info : kLayouts)
        if (info.layout == layout.kind)
            return std::string(info.title);
    return "";
}

const std::vector<Layout>& allLayouts()
{
    static const std::vector<Layout> layouts = [] {
        std::vector<Layout> all;
        for (const LayoutInfo& info : kLayouts)
            if (info.layout != Layout::Custom)
                all.push_back(info.layout);
        return all;
    }();
    return layouts;
}

size_t verseNumberLength(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && isBlankChar(line[i]))
        ++i;
    const bool enclosed = i < line.size() && (line[i] == '(' || line[i] == '[');
    i += enclosed;
    size_t digits = 0;
    while (const size_t width = digitAt(line, i)) {
        i += width;
        ++digits;
    }
    if (digits == 0 || digits > 4)
        return 0;
    const size_t afterDigits = i;
    while (i < line.size() && line[i] == ' ')
        ++i;
    const std::string_view rest = line.substr(i);
    if (enclosed) {
        if (rest.empty() || (rest[0] != ')' && rest[0] != ']'))
            return 0;
        ++i;
    } else if (!rest.empty() && std::string_view(".-):/").find(rest[0]) != std::string_view::npos) {
        ++i;
    } else if (rest.substr(0, 3) == "\u2013" || rest.substr(0, 2) == "\u060C") {  // – or ،
        i += rest.substr(0, 3) == "\u2013" ? 3 : 2;
    } else if (i == afterDigits) {
        return 0;  // a digit joined to a word is no verse number
    }
    while (i < line.size() && isBlankChar(line[i]))
        ++i;
    return i < line.size() ? i : 0;
}

int splitLine(std::string_view line, const TextLayout& layout, std::string_view& first, std::string_view& second)
{
    first = second = {};
    int pieces = 0;
    const auto add = [&](std::string_view piece) {
        piece = trimmed(piece);
        if (piece.empty())
            return;
        if (pieces == 0)
            first = piece;
        else if (pieces == 1)
            second = piece;
        ++pieces;
    };
    size_t from = 0;
    while (true) {
        const auto [at, length] = findSeparator(line, from, layout);
        if (at == std::string_view::npos || length == 0) {
            add(line.substr(from));
            return pieces;
        }
        add(line.substr(from, at - from));
        from = at + length;
    }
}

bool isShortLine(std::string_view line)
{
    int words = 0;
    bool inWord = false;
    for (const char c : line) {
        const bool blank = c == ' ' || c == '\t';
        words += !blank && !inWord;
        inWord = !blank;
    }
    return words >= 1 && words <= 3;
}

char32_t lastLetterOf(std::string_view line)
{
    const QString text = QString::fromUtf8(line.data(), qsizetype(line.size()));
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x0621 && c <= 0x064A && c != 0x0640)  // a letter, not the tatweel
            return c;
    }
    return 0;
}

bool usesVerseNumbers(std::string_view utf8)
{
    size_t content = 0, numbered = 0;
    for (const SampleLine& line : sampleOf(utf8)) {
        content += !line.blank;
        numbered += line.numbered;
    }
    return numbered >= 2 && numbered * 5 >= content;
}

TextLayout detectLayout(std::string_view utf8)
{
    const std::vector<SampleLine> lines = sampleOf(utf8);
    size_t content = 0;
    std::array<size_t, std::size(kSeparators)> splits{};
    for (const SampleLine& line : lines) {
        if (line.blank)
            continue;
        ++content;
        std::string_view a, b;
        for (size_t k = 0; k < std::size(kSeparators); ++k)
            splits[k] += splitLine(line.text, TextLayout{kSeparators[k], {}}, a, b) == 2;
    }
    const size_t best = size_t(std::max_element(splits.begin(), splits.end()) - splits.begin());
    if (splits[best] * 2 > content)
        return {kSeparators[best], {}};
    return {looksLikeTwoLines(lines) ? Layout::TwoLines : Layout::OneLine, {}};
}

}  // namespace barqeen::exchange
