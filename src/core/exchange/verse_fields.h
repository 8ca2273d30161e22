#pragma once
// One record of a verse file made into what the verse table stores, or the reason it cannot be:
// the text in the code page with its hemistichs on two lines (CR LF), the poet's and the
// categories' names, and the first and last letters, given or derived.
#include "core/exchange/lookalikes.h"
#include "core/exchange/record_reader.h"

#include <optional>
#include <string>
#include <vector>

namespace barqeen::exchange {

// Why a line of the file was not taken, in the order of the summary.
enum class Refusal {
    Malformed,         // CSV quoting, bad JSON, a wrong number of fields
    NotOneVerse,       // several verses or a whole poem in one record, or half a verse
    BadEncoding,       // bytes that are not valid in the file's encoding
    Unmappable,        // a character the code page cannot hold, named
    EmptyText,
    TooLong,           // longer than its field holds: reported, never cut
    NoLastLetter,      // none given and none derived that a verse can end on in the game
    NoFirstLetter,
    DuplicateInTable,  // the same matching form as a verse already in the table
    DuplicateInFile,   // ... as a verse taken from an earlier line of the file
};
inline constexpr int kRefusalKinds = 10;

struct Refused {
    Refusal reason;
    std::string detail;  // Arabic, UTF-8: which character, which field, which earlier line
};

// The longest names and verse the tables take; the names' sizes come from their fields.
struct FieldLimits {
    size_t verse = 1000;  // a verse's text is a memo: past this it is no single verse
    size_t poet = 30;
    size_t category = 20;
};

// Windows-1256 bytes, as the tables hold them.
struct VerseFields {
    std::string text;  // hemistichs separated by CR LF
    std::string poet;  // empty: no poet
    std::vector<std::string> categories;
    char firstLetter = 0;
    char lastLetter = 0;
    FoldCounts folded;  // look-alike letters, invisible characters and spaces folded in its fields
};

// Fills verse from the record; answers why it cannot be taken, or nothing when it can.
// Duplicates are the caller's to find.
std::optional<Refused> verseFromRecord(const SourceRecord& record, const FieldLimits& limits, VerseFields& verse);

// A poet's or category's name on one line, without spaces around it or doubled inside it
// (Windows-1256): names are found in the tables by this form.
std::string tidyName(std::string_view name);

// The letter a verse begins with: the first letter of its matching form, the alif forms as أ.
// False when that letter is none of the 28 a verse may begin with.
bool deriveFirstLetter(std::string_view text, char& letter);
// The letter a verse ends on: the game's end-letter rule on its last two letters, leaving out the
// vowel marks, shadda and tatweel among them and the punctuation after them. False when the rule
// finds no playable letter.
bool deriveLastLetter(std::string_view text, char& letter);

}  // namespace barqeen::exchange
