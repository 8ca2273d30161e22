#include "core/search/verse_forms.h"

#include "core/text/letters.h"

#include <algorithm>
#include <thread>

namespace barqeen {
namespace {

void buildPart(const Table& poem, const VerseForms::Columns& c, int from, int to, VerseForms::Part& part)
{
    const size_t count = size_t(to - from);
    part.starts.reserve(count + 1);
    part.keys.reserve(count);
    part.text.reserve(count * 64);
    part.authors.reserve(count);
    part.startLetters.reserve(count);
    part.endLetters.reserve(count);
    part.pairs.reserve(count);
    std::string form;
    for (int i = from; i < to; ++i) {
        const Row& row = poem.rowAt(i);
        part.starts.push_back(uint32_t(part.text.size()));
        part.keys.push_back(row.cells[size_t(c.key)].integer());
        NormalizeTextInto(row.cells[size_t(c.text)].text(), form);
        part.text += form;
        part.pairs.emplace_back().add(form);
        const Value& author = row.cells[size_t(c.author)];
        part.authors.push_back(author.isInteger() ? author.integer() : 0);
        part.startLetters.push_back(VerseForms::letterCode(row.cells[size_t(c.startLetter)].text()));
        part.endLetters.push_back(VerseForms::letterCode(row.cells[size_t(c.endLetter)].text()));
    }
    part.starts.push_back(uint32_t(part.text.size()));
    part.stale.assign(count, 0);
}

}  // namespace

void VerseForms::build(const Table& poem, const Columns& columns, unsigned threads)
{
    clear();
    const int rows = poem.rowCount();
    // A part's offsets are 32 bits: keep each part well under 4 GB of text.
    const unsigned wanted = std::max(1u, std::min(threads, unsigned(rows / 1024 + 1)));
    const unsigned count = std::max(wanted, unsigned(rows / 8'000'000 + 1));
    parts_.resize(count);
    std::vector<std::thread> workers;
    for (unsigned p = 1; p < count; ++p)
        workers.emplace_back(buildPart, std::cref(poem), std::cref(columns), int(int64_t(rows) * p / count),
                             int(int64_t(rows) * (p + 1) / count), std::ref(parts_[p]));
    buildPart(poem, columns, 0, int(int64_t(rows) / count), parts_[0]);
    for (std::thread& w : workers)
        w.join();
    for (const Part& part : parts_) {
        size_ += part.size();
        if (!part.keys.empty())
            maxKey_ = std::max(maxKey_, part.keys.back());
    }
    built_ = true;
}

void VerseForms::clear()
{
    parts_.clear();
    aside_.clear();
    maxKey_ = 0;
    size_ = 0;
    built_ = false;
}

void VerseForms::replace(int64_t key, const Row* row, int textColumn)
{
    for (Part& part : parts_) {
        if (part.keys.empty() || key < part.keys.front() || key > part.keys.back())
            continue;
        const auto it = std::lower_bound(part.keys.begin(), part.keys.end(), key);
        if (it != part.keys.end() && *it == key)
            part.stale[size_t(it - part.keys.begin())] = 1;
    }
    if (row)
        aside_[key] = NormalizeText(row->cells[size_t(textColumn)].text());
    else
        aside_.erase(key);
    maxKey_ = std::max(maxKey_, key);
}

}  // namespace barqeen
