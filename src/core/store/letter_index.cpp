#include "core/store/letter_index.h"

#include "core/store/table.h"

#include <algorithm>

namespace barqeen {
namespace {

const std::vector<uint32_t> kNone;

}  // namespace

int LetterIndex::slotOf(std::string_view text)
{
    if (text.empty())
        return kEmptyText;
    return text.size() == 1 ? uint8_t(text[0]) : -1;
}

int LetterIndex::slotOf(const Value& value)
{
    return value.isText() ? slotOf(value.text()) : -1;
}

void LetterIndex::clear()
{
    for (auto& s : slots_) {
        s.clear();
        s.shrink_to_fit();
    }
}

void LetterIndex::rebuild(const std::vector<Row>& rows, int column)
{
    clear();
    for (size_t i = 0; i < rows.size(); ++i)
        if (const int s = slotOf(rows[i].cells[size_t(column)]); s >= 0)
            slots_[size_t(s)].push_back(uint32_t(i));
}

void LetterIndex::added(uint32_t row, const Value& value)
{
    if (const int s = slotOf(value); s >= 0)
        slots_[size_t(s)].push_back(row);
}

void LetterIndex::changed(uint32_t row, const Value& before, const Value& after)
{
    const int from = slotOf(before);
    const int to = slotOf(after);
    if (from == to)
        return;
    if (from >= 0) {
        auto& list = slots_[size_t(from)];
        const auto it = std::lower_bound(list.begin(), list.end(), row);
        if (it != list.end() && *it == row)
            list.erase(it);
    }
    if (to >= 0) {
        auto& list = slots_[size_t(to)];
        list.insert(std::lower_bound(list.begin(), list.end(), row), row);
    }
}

void LetterIndex::removed(uint32_t row, const Value& value)
{
    if (const int s = slotOf(value); s >= 0) {
        auto& list = slots_[size_t(s)];
        const auto it = std::lower_bound(list.begin(), list.end(), row);
        if (it != list.end() && *it == row)
            list.erase(it);
    }
    for (auto& list : slots_)
        for (auto it = std::upper_bound(list.begin(), list.end(), row); it != list.end(); ++it)
            --*it;
}

const std::vector<uint32_t>& LetterIndex::rowsWith(std::string_view text) const
{
    const int s = slotOf(text);
    return s >= 0 ? slots_[size_t(s)] : kNone;
}

}  // namespace barqeen
