#include "core/search/record_test.h"

#include "core/search/split_words.h"
#include "core/search/verse_meter.h"
#include "core/store/category_set.h"
#include "core/text/letters.h"

namespace barqeen {

bool PassesPanel(const SearchCriteria& c, const RowRef& row)
{
    if (!c.advanced)
        return true;
    if (c.byAuthor) {
        const Value& author = row.cell("AuthorID");
        const int64_t id = author.isInteger() ? author.integer() : 0;
        if (!c.author || *c.author != id)
            return false;
    }
    if (c.byStartLetter && row.cell("StartLetter").text() != c.startLetter)
        return false;
    if (c.byEndLetter && row.cell("EndLetter").text() != c.endLetter)
        return false;
    // With no category chosen there is nothing a verse could belong to: none passes, as with
    // the author.
    if (c.byCategory && (!c.category || !category_set::HasCategory(*c.category, row.cell("Categories").text())))
        return false;
    // The verse scanned here and now: the yardstick of the meters kept for the fast search.
    if (c.byMeter && (!c.meter || !MeterMatches(*c.meter, VerseMeterOf(row.cell("Text").text()))))
        return false;
    return true;
}

bool AcceptsRecord(const SearchCriteria& c, const RowRef& row)
{
    if (HasWords(c.words)) {
        std::vector<std::string> words;
        SplitWords(c.words, words);
        const std::string verse = NormalizeText(row.cell("Text").text());
        for (const std::string& word : words) {
            const std::string form = NormalizeText(word);
            if (form.empty() || verse.find(form) == std::string::npos)
                return false;
        }
    }
    return PassesPanel(c, row);
}

}  // namespace barqeen
