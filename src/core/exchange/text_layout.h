#pragma once
// How a plain-text verse file lays out its hemistichs: both on one line with a separator between
// them (a TAB, a run of spaces, " * ", " ... ", …), each on a line of its own with the poems
// apart by blank lines, or one whole verse a line. A diwan also has poem titles and poets' names
// among the verses, and numbers before them; this decides what each line is.
#include <string>
#include <string_view>
#include <vector>

namespace barqeen::exchange {

enum class Layout {
    Auto,      // decided from the file
    OneLine,   // one verse a line; a TAB in it still parts the hemistichs
    Tab,
    Spaces,    // two spaces or more
    Star,      // " * "
    Stars,     // " *** "
    Dots,      // " ... "
    Ellipsis,  // " … "
    Dash,      // " - " or " – "
    Hash,      // " # "
    Bar,       // " | "
    TwoLines,  // each hemistich on its own line, poems apart by blank lines
    Custom,    // a separator the user gives
};

struct TextLayout {
    Layout kind = Layout::Auto;
    std::string separator;  // Custom: the text between the hemistichs
    bool operator==(const TextLayout&) const = default;
};

// Which heading line, if any, names the poet of the verses under it.
enum class HeadingPoet {
    None,   // headings are titles only
    First,  // the first line of each group of heading lines
    Last,   // the last line of the group, right above the verses
};

// Names for the command line: "auto", "line", "tab", "spaces", "star", "stars", "dots",
// "ellipsis", "dash", "hash", "bar", "two-lines"; and for the heading rule "none", "first", "last".
std::string_view layoutName(Layout layout);
bool parseLayout(std::string_view name, Layout& layout);
std::string_view headingPoetName(HeadingPoet rule);
bool parseHeadingPoet(std::string_view name, HeadingPoet& rule);
// The layout as a user reads it, in Arabic (UTF-8), with an example separator.
std::string layoutTitle(const TextLayout& layout);
// Every layout a user may choose, Auto first.
const std::vector<Layout>& allLayouts();

// A verse number at the start of a line ("12.", "3-", "(3)", "١-", "۱."), with the spaces after
// it; zero when the line has none. A line that is only a number keeps it.
size_t verseNumberLength(std::string_view line);

// A line of one to three words is never a verse nor a hemistich: it is a heading (a poem's title,
// a poet's name).
bool isShortLine(std::string_view line);

// The last Arabic letter of a line (UTF-8, marks and signs after it passed over): the rhyme shows
// in it. Zero when the line has none.
char32_t lastLetterOf(std::string_view line);

// True when a fifth of the file's lines or more begin with a verse number: with hemistichs on
// lines of their own, the numbered lines then begin the verses.
bool usesVerseNumbers(std::string_view utf8);

// The line cut where the layout parts hemistichs: the pieces that are not blank, trimmed.
// Answers their count, and puts the first two in first and second.
int splitLine(std::string_view line, const TextLayout& layout, std::string_view& first, std::string_view& second);

// The layout of a file from its lines (UTF-8, any line ends): the separator that splits most
// lines in exactly two, when it splits more than half of them; else hemistichs on lines of their
// own when the numbers or the poems' line counts say so; else one verse a line.
TextLayout detectLayout(std::string_view utf8);

}  // namespace barqeen::exchange
