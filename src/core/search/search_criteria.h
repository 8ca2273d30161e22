#pragma once
// What the search window's controls ask of a verse: its words, and in the advanced panel the
// author, first letter, last letter, category and meter. Texts are Windows-1256 bytes.
#include <cstdint>
#include <optional>
#include <string>

namespace barqeen {

struct SearchCriteria {
    std::string words;  // the search box's text as typed, spaces and all

    bool advanced = false;  // the panel is shown; without it the rest is ignored
    bool byAuthor = false;
    std::optional<int64_t> author;  // the chosen AuthorID; none while nothing is chosen
    bool byStartLetter = false;
    std::string startLetter;  // the chosen letter; empty while nothing is chosen
    bool byEndLetter = false;
    std::string endLetter;
    bool byCategory = false;
    std::optional<int32_t> category;  // the chosen CategoryID; none while nothing is chosen
    bool byMeter = false;
    std::optional<int> meter;  // the chosen meter (MeterChoiceName, verse_meter.h); none while nothing is chosen

    bool operator==(const SearchCriteria&) const = default;
};

}  // namespace barqeen
