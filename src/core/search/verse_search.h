#pragma once
// The search over the verse table, fast: the answers for every verse are worked out at once
// (the matching forms kept end to end, read by all cores), and the table's record filter then
// only looks them up. The answers are the same as the step-by-step test's (record_test.h): a
// verse changed since they were worked out, and a row being posted, get that test itself.
#include "core/search/search_criteria.h"
#include "core/search/verse_forms.h"
#include "core/search/verse_meter.h"
#include "core/store/rows_outline.h"
#include "core/store/table.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace barqeen {

class VerseSearch {
public:
    // poem: the verse table (TextID, Text, AuthorID, StartLetter, EndLetter, Categories).
    explicit VerseSearch(Table& poem);
    ~VerseSearch();
    VerseSearch(const VerseSearch&) = delete;
    VerseSearch& operator=(const VerseSearch&) = delete;

    // The criteria as the controls hold them now.
    void setCriteria(const SearchCriteria& criteria);
    const SearchCriteria& criteria() const { return criteria_; }

    // The matching forms of the verses are still to be made: the first search after opening (or
    // after the table was read anew) pays for them. makeForms only reads the table, so it may run
    // on another thread as long as nothing changes the table meanwhile.
    bool needsForms() const { return !forms_.built(); }
    void makeForms();

    // Works out the answers for every verse at the current criteria.
    void prepare();

    // The record filter's answer for one row of the table, or for the row being posted.
    bool accepts(const RowRef& row);

    // The meters of all verses, as far as they are known (kept and scanned beside the search); a
    // verse whose meter is not known yet is scanned when a search by meter asks about it.
    void setMeters(const class VerseMeters* meters) { meters_ = meters; }

    // Threads used to read the forms (all cores by default).
    void setThreads(unsigned threads) { threads_ = threads ? threads : 1; }

private:
    struct Columns {
        int key, text, author, startLetter, endLetter, categories;
    };
    void noticed(const TableEvent& event);
    void changed(int position);
    bool sameRowsAsBefore() const;
    void catchUp();
    int rowIndexOf(const RowRef& row) const;  // -1 for a row not in the table (being posted)
    void answerFromWords();
    void answerFromPanel();
    void matchMetersToForms();
    VerseMeter meterAt(size_t part, size_t entry) const;
    VerseMeter meterOf(int64_t key) const;

    Table& poem_;
    Columns col_{};
    int observer_ = 0;
    unsigned threads_ = 1;

    SearchCriteria criteria_;
    std::vector<std::string> wordForms_;  // longest first
    bool wordTest_ = false;
    bool panelTest_ = false;
    uint64_t criteriaVersion_ = 1;

    VerseForms forms_;
    const VerseMeters* meters_ = nullptr;
    std::vector<std::vector<VerseMeter>> partMeters_;  // beside each part's forms, while searching by meter
    std::unordered_set<int64_t> toRedo_;  // verses whose forms are out of date

    // The answers by row index: the filter asks about every row, and finding a row's answer by
    // its place costs no read of the row itself.
    std::vector<uint8_t> answers_;
    uint64_t answersVersion_ = 0;  // the criteria they were worked out for; 0 for none
    std::unordered_set<int> changedSinceAnswers_;  // rows whose answers may be out of date
    int rowsSeen_ = 0;  // the table's rows at the last notice

    RowsOutline before_;  // the rows before a reset notice
};

}  // namespace barqeen
