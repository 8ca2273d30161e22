#pragma once
// The rows of a table grouped by the value of a one-character field, each group in row order,
// so that a filter on that field (StartLetter = 'x') finds its rows without reading the others.
#include "core/store/value.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace barqeen {

struct Row;

class LetterIndex {
public:
    void rebuild(const std::vector<Row>& rows, int column);
    void clear();
    void added(uint32_t row, const Value& value);  // row is the new last row
    void changed(uint32_t row, const Value& before, const Value& after);
    void removed(uint32_t row, const Value& value);  // later rows move down by one
    // The rows whose value is exactly text, in row order.
    const std::vector<uint32_t>& rowsWith(std::string_view text) const;

private:
    static int slotOf(const Value& value);  // -1 when not indexed (null)
    static int slotOf(std::string_view text);

    static constexpr int kEmptyText = 256;
    std::array<std::vector<uint32_t>, 257> slots_;
};

}  // namespace barqeen
