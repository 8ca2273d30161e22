#include "core/exchange/verse_fields.h"

#include "core/rules/turn_rules.h"
#include "core/text/codepage.h"
#include "core/text/letters.h"

#include <algorithm>

namespace barqeen::exchange {
namespace {

constexpr char kTatweel = '\xDC', kShadda = '\xF8', kNoBreakSpace = '\xA0';

bool isArabicLetter(char c)
{
    return c != kTatweel && inSet(PoemLetters, c);
}


std::string shown(char letter)
{
    return "«" + codepage::toUtf8(std::string_view(&letter, 1)) + "»";
}

std::string hex(char32_t code)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", unsigned(code));
    return buffer;
}

// The record's UTF-8 in the code page, look-alike characters folded first (counted); otherwise
// names the first character it cannot hold.
std::optional<Refused> toCodePage(std::string_view utf8, const char* where, std::string& out, FoldCounts& folded)
{
    thread_local std::string plain;
    foldLookalikes(utf8, plain, folded);
    utf8 = plain;
    if (!codepage::fromUtf8Into(utf8, out)) {
        const codepage::Encoded e = codepage::fromUnicode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        if (!e.ok()) {
            const char32_t c = *e.unmappable;
            if (c == 0xFFFD)
                return Refused{Refusal::BadEncoding, std::string("في ") + where +
                                                         " بايتات لا تصح في ترميز الملف (أو الحرف البديل U+FFFD)"};
            return Refused{Refusal::Unmappable, std::string("الحرف «\u2068") +
                                                    QString::fromUcs4(&c, 1).toStdString() + "\u2069» (" +
                                                    hex(c) + ") في " + where + " لا يُحفظ في جداول البرنامج"};
        }
        out = e.bytes;  // Arabic presentation forms folded into their letters
    }
    for (const char c : out)
        if (uint8_t(c) < 0x20 && c != '\t' && c != '\r' && c != '\n')
            return Refused{Refusal::Unmappable, "حرف التحكم (" + hex(uint8_t(c)) + ") في " + where +
                                                    " لا يُحفظ في جداول البرنامج"};
    return std::nullopt;
}

bool isSpace(char c)
{
    return c == ' ' || c == kNoBreakSpace || c == '\t' || c == '\r' || c == '\n';
}


// A TAB, LF, CR or CR LF between the hemistichs becomes the CR LF of the verse window; blank
// pieces and the spaces around each hemistich go.
std::string shapeVerse(std::string_view text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size() && text[end] != '\t' && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::string_view part = text.substr(i, end - i);
        while (!part.empty() && (part.front() == ' ' || part.front() == kNoBreakSpace))
            part.remove_prefix(1);
        while (!part.empty() && (part.back() == ' ' || part.back() == kNoBreakSpace))
            part.remove_suffix(1);
        if (!part.empty()) {
            if (!out.empty())
                out += "\r\n";
            out += part;
        }
        i = end + 1;
    }
    return out;
}

std::string tooLong(const char* what, size_t length, size_t limit)
{
    return std::string(what) + " " + std::to_string(length) + " حرفًا، وأقصى ما يتسع له " + std::to_string(limit);
}

// A letter the file gives: one letter of the 28, an alif form as أ.
std::optional<Refused> givenLetter(std::string_view utf8, Refusal reason, const char* what, char& letter,
                                   FoldCounts& counts)
{
    std::string bytes;
    if (auto refused = toCodePage(utf8, what, bytes, counts))
        return refused;
    const std::string letterText = tidyName(bytes);
    if (letterText.size() == 1 && PlayableLetters.find(FoldAlifGroup(letterText[0])) != std::string_view::npos) {
        letter = FoldAlifGroup(letterText[0]);
        return std::nullopt;
    }
    return Refused{reason, std::string(what) + " «\u2068" + std::string(utf8) +
                               "\u2069» ليس حرفًا واحدًا من الحروف الثمانية والعشرين"};
}

}  // namespace

std::string tidyName(std::string_view name)
{
    std::string out;
    bool space = false;
    for (const char c : name) {
        if (isSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += c;
    }
    return out;
}

bool deriveFirstLetter(std::string_view text, char& letter)
{
    std::string form;
    NormalizeTextInto(text, form);
    for (const char c : form)
        if (isArabicLetter(c)) {
            letter = FoldAlifGroup(c);
            return PlayableLetters.find(letter) != std::string_view::npos;
        }
    letter = 0;
    return false;
}

bool deriveLastLetter(std::string_view text, char& letter)
{
    // Not the matching form: it folds a final أ or ء into ا, which the rule steps over.
    size_t end = text.size();
    std::string tail;  // the last letters, the marks between them dropped
    while (end > 0 && tail.size() < 2) {
        const char c = text[--end];
        if (isArabicLetter(c))
            tail.insert(tail.begin(), c);
        else if (!tail.empty() && !inSet(VowelMarks, c) && c != kShadda && c != kTatweel)
            break;  // a space or a sign before the last letter: the word has one letter
    }
    letter = 0;
    return GetEndLetter(tail, letter);
}

std::optional<Refused> verseFromRecord(const SourceRecord& record, const FieldLimits& limits, VerseFields& verse)
{
    if (!record.malformed.empty())
        return Refused{Refusal::Malformed, record.malformed};
    if (!record.notOneVerse.empty())
        return Refused{Refusal::NotOneVerse, record.notOneVerse};

    verse.folded = {};
    FoldCounts& folded = verse.folded;
    std::string bytes;
    // Two fields for the hemistichs beat one of the whole verse, which may hold them joined by
    // a space or a sign: the verse is then stored with the break between its hemistichs.
    const auto blank = [](const std::string& t) { return t.find_first_not_of(" \t\r\n") == std::string::npos; };
    const bool inHalves = blank(record.text) || (!blank(record.hemistich1) && !blank(record.hemistich2));
    if (auto refused = toCodePage(inHalves ? record.hemistich1 + "\n" + record.hemistich2 : record.text,
                                  "نص البيت", bytes, folded))
        return refused;
    verse.text = shapeVerse(bytes);
    if (verse.text.empty())
        return Refused{Refusal::EmptyText, "لا نص للبيت في هذا السطر"};
    // Two verses or more (a whole poem) in one record; three lines may be one verse the verse
    // window was given so, and go back and forth through export and import.
    if (const size_t breaks = size_t(std::count(verse.text.begin(), verse.text.end(), '\n')); breaks > 2)
        return Refused{Refusal::NotOneVerse, "في النص " + std::to_string(breaks + 1) +
                                                 " أسطر: أكثر من بيت في سجل واحد"};
    if (verse.text.size() > limits.verse)
        return Refused{Refusal::TooLong, tooLong("نص البيت", verse.text.size(), limits.verse)};

    if (auto refused = toCodePage(record.poet, "اسم الشاعر", bytes, folded))
        return refused;
    verse.poet = tidyName(bytes);
    if (verse.poet.size() > limits.poet)
        return Refused{Refusal::TooLong, tooLong("اسم الشاعر", verse.poet.size(), limits.poet)};

    verse.categories.clear();
    for (const std::string& name : record.categories) {
        if (auto refused = toCodePage(name, "اسم الموضوع", bytes, folded))
            return refused;
        std::string category = tidyName(bytes);
        if (category.empty())
            continue;
        if (category.size() > limits.category)
            return Refused{Refusal::TooLong, tooLong("اسم الموضوع", category.size(), limits.category)};
        if (std::find(verse.categories.begin(), verse.categories.end(), category) == verse.categories.end())
            verse.categories.push_back(std::move(category));
    }

    if (!record.lastLetter.empty()) {
        if (auto refused = givenLetter(record.lastLetter, Refusal::NoLastLetter, "حرف النهاية", verse.lastLetter, folded))
            return refused;
    } else if (!deriveLastLetter(verse.text, verse.lastLetter)) {
        return Refused{Refusal::NoLastLetter,
                       verse.lastLetter && isArabicLetter(verse.lastLetter)
                           ? "ينتهي البيت بـ" + shown(verse.lastLetter) + " ولا يُبدأ به بيت في المطارحة"
                           : std::string("لا حرف عربيًا في آخر البيت")};
    }
    if (!record.firstLetter.empty()) {
        if (auto refused = givenLetter(record.firstLetter, Refusal::NoFirstLetter, "حرف البداية", verse.firstLetter, folded))
            return refused;
    } else if (!deriveFirstLetter(verse.text, verse.firstLetter)) {
        return Refused{Refusal::NoFirstLetter, verse.firstLetter
                                                   ? "يبدأ البيت بـ" + shown(verse.firstLetter) +
                                                         " وليس من الحروف الثمانية والعشرين"
                                                   : std::string("لا حرف عربيًا في البيت")};
    }
    return std::nullopt;
}

}  // namespace barqeen::exchange
