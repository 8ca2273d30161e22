#include "core/search/verse_search.h"

#include "core/search/record_test.h"
#include "core/search/split_words.h"
#include "core/search/substring_scan.h"
#include "core/search/verse_meters.h"
#include "core/store/category_set.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace barqeen {
namespace {

// The panel's tests on a stored row, with the columns and the category's tag found once.
struct PanelTest {
    const SearchCriteria& c;
    int author, startLetter, endLetter, categories, text;
    std::string tag;

    // meter: the verse's meter where it is known; a verse not scanned yet is scanned here.
    bool operator()(const Row& row, VerseMeter meter) const
    {
        if (c.byMeter) {
            if (!c.meter)
                return false;
            if (!meter.known())
                meter = VerseMeterOf(row.cells[size_t(text)].text());
            if (!MeterMatches(*c.meter, meter))
                return false;
        }
        if (c.byAuthor) {
            const Value& v = row.cells[size_t(author)];
            if (!c.author || *c.author != (v.isInteger() ? v.integer() : 0))
                return false;
        }
        if (c.byStartLetter && row.cells[size_t(startLetter)].text() != c.startLetter)
            return false;
        if (c.byEndLetter && row.cells[size_t(endLetter)].text() != c.endLetter)
            return false;
        if (c.byCategory && (tag.empty() || row.cells[size_t(categories)].text().find(tag) == std::string_view::npos))
            return false;
        return true;
    }
};

bool holdsAll(std::string_view form, const std::vector<std::string>& words, size_t from)
{
    for (size_t w = from; w < words.size(); ++w)
        if (form.find(words[w]) == std::string_view::npos)
            return false;
    return true;
}

// A stretch of one part's forms, the unit of work of the threads.
struct Stretch {
    const VerseForms::Part* part;
    size_t from, to;  // forms [from, to)
};

// The parts cut into stretches of about the same size, many more than threads: a thread that the
// machine keeps waiting takes fewer of them, the others take the rest.
std::vector<Stretch> stretches(const std::vector<VerseForms::Part>& parts, unsigned threads)
{
    std::vector<Stretch> out;
    for (const VerseForms::Part& part : parts) {
        const size_t each = std::max<size_t>(256, part.size() / (8 * size_t(threads)));
        for (size_t from = 0; from < part.size(); from += each)
            out.push_back({&part, from, std::min(part.size(), from + each)});
    }
    return out;
}

// Runs work on every stretch, on `threads` threads (this one among them), each taking the next
// stretch not yet taken.
void onThreads(unsigned threads, const std::vector<Stretch>& all, const std::function<void(const Stretch&)>& work)
{
    std::atomic<size_t> next{0};
    auto take = [&] {
        for (size_t i = next++; i < all.size(); i = next++)
            work(all[i]);
    };
    std::vector<std::thread> others;
    for (unsigned t = 1; t < threads && t < all.size(); ++t)
        others.emplace_back(take);
    take();
    for (std::thread& t : others)
        t.join();
}

}  // namespace

VerseSearch::VerseSearch(Table& poem) : poem_(poem)
{
    col_ = {poem.field("TextID").column(),      poem.field("Text").column(),
            poem.field("AuthorID").column(),    poem.field("StartLetter").column(),
            poem.field("EndLetter").column(),   poem.field("Categories").column()};
    threads_ = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    observer_ = poem_.addObserver([this](const TableEvent& e) { noticed(e); });
}

VerseSearch::~VerseSearch()
{
    poem_.removeObserver(observer_);
}

void VerseSearch::setCriteria(const SearchCriteria& criteria)
{
    if (criteria == criteria_)
        return;
    criteria_ = criteria;
    wordForms_ = WordForms(criteria_.words);
    wordTest_ = !wordForms_.empty();
    // The longest word is looked for first: it is found in the fewest verses.
    std::stable_sort(wordForms_.begin(), wordForms_.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    wordForms_.erase(std::unique(wordForms_.begin(), wordForms_.end()), wordForms_.end());
    const SearchCriteria& c = criteria_;
    panelTest_ = c.advanced && (c.byAuthor || c.byStartLetter || c.byEndLetter || c.byCategory || c.byMeter);
    ++criteriaVersion_;
}

// ---------------------------------------------------------------- keeping up with the table

// A reset notice comes with every change of the filter (the rows are the same), with rows added
// at once at the end (an import: seen by their keys), and when the table is read anew or closed.
bool VerseSearch::sameRowsAsBefore() const
{
    if (!before_.stillLeads(poem_))
        return false;
    // From no rows: the forms kept from before are still good when the rows are all new.
    const RowsOutline now = RowsOutline::of(poem_);
    return before_.rows > 0 || now.rows == 0 || now.firstKey > forms_.maxKey();
}

void VerseSearch::changed(int position)
{
    if (position < 0 || !poem_.active() || !poem_.keyField())
        return;
    const Value key = poem_.valueAt(position, *poem_.keyField());
    if (!key.isInteger())
        return;  // a row being inserted has no key yet
    toRedo_.insert(key.integer());
    if (position < poem_.recordCount())
        changedSinceAnswers_.insert(poem_.rowIndexAtPosition(position));
}

void VerseSearch::noticed(const TableEvent& e)
{
    switch (e.kind) {
    case TableEvent::RowChanged:
    case TableEvent::RowAboutToBeRemoved:
        changed(e.position);
        break;
    case TableEvent::RowRemoved:
        // A row gone from the table moves the rows after it: the answers by place are void.
        if (poem_.rowCount() < rowsSeen_)
            answersVersion_ = 0;
        break;
    case TableEvent::AboutToReset:
        before_ = RowsOutline::of(poem_);
        break;
    case TableEvent::Reset:
        if (!sameRowsAsBefore()) {
            forms_.clear();
            toRedo_.clear();
            changedSinceAnswers_.clear();
            answersVersion_ = 0;
            answers_.clear();
        }
        break;
    default:
        break;
    }
    rowsSeen_ = poem_.rowCount();
}

void VerseSearch::makeForms()
{
    forms_.build(poem_, {col_.key, col_.text, col_.author, col_.startLetter, col_.endLetter}, threads_);
    toRedo_.clear();
}

void VerseSearch::catchUp()
{
    if (!forms_.built()) {
        makeForms();
        return;
    }
    // Rows added since carry keys above every key seen.
    std::vector<int> added;
    for (int i = poem_.rowCount() - 1; i >= 0 && poem_.rowAt(i).cells[size_t(col_.key)].integer() > forms_.maxKey(); --i)
        added.push_back(i);
    for (auto it = added.rbegin(); it != added.rend(); ++it)
        forms_.replace(poem_.rowAt(*it).cells[size_t(col_.key)].integer(), &poem_.rowAt(*it), col_.text);
    for (const int64_t key : toRedo_) {
        const int i = poem_.findRowByKey(key);
        forms_.replace(key, i >= 0 ? &poem_.rowAt(i) : nullptr, col_.text);
    }
    toRedo_.clear();
    // Past a point, making everything afresh is quicker to search than many forms kept aside.
    if (forms_.aside().size() > forms_.size() / 8 + 4096)
        makeForms();
}

// ---------------------------------------------------------------- answers

void VerseSearch::prepare()
{
    catchUp();
    answers_.assign(size_t(poem_.rowCount()), 0);
    rowsSeen_ = poem_.rowCount();
    changedSinceAnswers_.clear();
    answersVersion_ = criteriaVersion_;
    const bool wordOfMarksOnly =
        std::any_of(wordForms_.begin(), wordForms_.end(), [](const std::string& w) { return w.empty(); });
    if (wordOfMarksOnly)
        return;  // its form occurs nowhere: no verse is accepted
    partMeters_.clear();
    if (panelTest_ && criteria_.byMeter)
        matchMetersToForms();
    if (wordTest_)
        answerFromWords();
    else
        answerFromPanel();
}

// The meters kept for the verses of each part, in the part's order: both go by key, ascending.
void VerseSearch::matchMetersToForms()
{
    if (!meters_)
        return;
    const std::vector<KeptMeter>& all = meters_->all();
    partMeters_.resize(forms_.parts().size());
    for (size_t p = 0; p < forms_.parts().size(); ++p) {
        const VerseForms::Part& part = forms_.parts()[p];
        std::vector<VerseMeter>& out = partMeters_[p];
        out.assign(part.size(), VerseMeter{});
        if (part.keys.empty())
            continue;
        auto m = std::lower_bound(all.begin(), all.end(), part.keys.front(),
                                  [](const KeptMeter& k, int64_t key) { return k.key < key; });
        for (size_t e = 0; e < part.size() && m != all.end(); ++e) {
            while (m != all.end() && m->key < part.keys[e])
                ++m;
            if (m != all.end() && m->key == part.keys[e])
                out[e] = m->meter;
        }
    }
}

VerseMeter VerseSearch::meterAt(size_t part, size_t entry) const
{
    return part < partMeters_.size() ? partMeters_[part][entry] : VerseMeter{};
}

VerseMeter VerseSearch::meterOf(int64_t key) const
{
    return meters_ ? meters_->meterOf(key) : VerseMeter{};
}

void VerseSearch::answerFromWords()
{
    const PanelTest panel{criteria_, col_.author, col_.startLetter, col_.endLetter, col_.categories, col_.text,
                          criteria_.category ? category_set::Tag(*criteria_.category) : std::string()};
    auto accept = [&](int64_t key, VerseMeter meter) {
        const int i = poem_.findRowByKey(key);
        if (i >= 0 && (!panelTest_ || panel(poem_.rowAt(i), meter)))
            answers_[size_t(i)] = 1;
    };
    const VerseForms::Part* firstPart = forms_.parts().data();
    // With a few letter pairs to look for, the pairs kept for each verse pass over most verses
    // unread; with fewer, reading all the forms end to end is quicker.
    Pairs wanted;
    for (const std::string& word : wordForms_)
        wanted.add(word);
    if (wanted.count() >= 3) {
        onThreads(threads_, stretches(forms_.parts(), threads_), [&](const Stretch& s) {
            const VerseForms::Part& part = *s.part;
            for (size_t e = s.from; e < s.to; ++e)
                if (part.pairs[e].holds(wanted) && !part.stale[e] && holdsAll(part.form(e), wordForms_, 0))
                    accept(part.keys[e], meterAt(size_t(s.part - firstPart), e));
        });
        for (const auto& [key, form] : forms_.aside())
            if (holdsAll(form, wordForms_, 0))
                accept(key, meterOf(key));
        return;
    }
    const std::string& first = wordForms_.front();
    onThreads(threads_, stretches(forms_.parts(), threads_), [&](const Stretch& s) {
        const VerseForms::Part& part = *s.part;
        const std::string_view text = std::string_view(part.text).substr(0, part.starts[s.to]);
        size_t e = s.from;
        size_t at = FindFrom(text, first, part.starts[s.from]);
        while (at != std::string_view::npos) {
            while (part.starts[e + 1] <= at)
                ++e;
            const size_t end = part.starts[e + 1];
            if (at + first.size() > end) {  // runs on into the next verse's form
                at = FindFrom(text, first, at + 1);
                continue;
            }
            if (!part.stale[e] && holdsAll(part.form(e), wordForms_, 1))
                accept(part.keys[e], meterAt(size_t(s.part - firstPart), e));
            at = FindFrom(text, first, end);
        }
    });
    for (const auto& [key, form] : forms_.aside())
        if (holdsAll(form, wordForms_, 0))
            accept(key, meterOf(key));
}

void VerseSearch::answerFromPanel()
{
    const SearchCriteria& c = criteria_;
    const PanelTest panel{c, col_.author, col_.startLetter, col_.endLetter, col_.categories, col_.text,
                          c.category ? category_set::Tag(*c.category) : std::string()};
    if (!panelTest_) {
        std::fill(answers_.begin(), answers_.end(), 1);
        return;
    }
    // The author, the letters and the known meters are read from the parts; a verse that passes
    // them (or whose letter field is not one letter) is looked at in the table.
    const int16_t start = VerseForms::letterCode(c.startLetter), end = VerseForms::letterCode(c.endLetter);
    auto mayPass = [&](const VerseForms::Part& part, size_t e, VerseMeter meter) {
        if (c.byMeter && (!c.meter || (meter.known() && !MeterMatches(*c.meter, meter))))
            return false;
        if (c.byAuthor && (!c.author || part.authors[e] != *c.author))
            return false;
        if (c.byStartLetter && part.startLetters[e] != start && part.startLetters[e] != -2)
            return false;
        if (c.byEndLetter && part.endLetters[e] != end && part.endLetters[e] != -2)
            return false;
        return true;
    };
    const VerseForms::Part* firstPart = forms_.parts().data();
    onThreads(threads_, stretches(forms_.parts(), threads_), [&](const Stretch& s) {
        const VerseForms::Part& part = *s.part;
        const size_t p = size_t(s.part - firstPart);
        for (size_t e = s.from; e < s.to; ++e) {
            const VerseMeter meter = meterAt(p, e);
            if (part.stale[e] || !mayPass(part, e, meter))
                continue;
            const int i = poem_.findRowByKey(part.keys[e]);
            if (i >= 0 && panel(poem_.rowAt(i), meter))
                answers_[size_t(i)] = 1;
        }
    });
    for (const auto& entry : forms_.aside()) {
        const int i = poem_.findRowByKey(entry.first);
        if (i >= 0 && panel(poem_.rowAt(i), meterOf(entry.first)))
            answers_[size_t(i)] = 1;
    }
}

int VerseSearch::rowIndexOf(const RowRef& row) const
{
    const int n = poem_.rowCount();
    if (n == 0)
        return -1;
    // Only addresses are compared: the row itself is not read.
    const auto* cell = reinterpret_cast<const char*>(&row.cell(0));
    const auto* first = reinterpret_cast<const char*>(&poem_.rowAt(0).cells[0]);
    const auto* last = reinterpret_cast<const char*>(&poem_.rowAt(n - 1).cells[0]);
    if (std::less<>()(cell, first) || std::less<>()(last, cell))
        return -1;
    return int((cell - first) / std::ptrdiff_t(sizeof(Row)));
}

bool VerseSearch::accepts(const RowRef& row)
{
    if (!wordTest_ && !panelTest_)
        return true;
    const int i = rowIndexOf(row);
    if (i < 0)
        return AcceptsRecord(criteria_, row);  // the row being posted
    if (answersVersion_ != criteriaVersion_)
        prepare();  // the controls or the rows changed since the answers were worked out
    if (size_t(i) >= answers_.size() || (!changedSinceAnswers_.empty() && changedSinceAnswers_.count(i)))
        return AcceptsRecord(criteria_, row);  // added or changed since
    return answers_[size_t(i)] != 0;
}

}  // namespace barqeen
