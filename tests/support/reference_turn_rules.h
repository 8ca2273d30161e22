#pragma once
// The computer's turn rules walked step by step over the verse table, the plain way: every
// verse read through the cursor and brought to its matching form on every call. The yardstick
// for the fast rules in tests and benchmarks.
#include "core/store/table.h"
#include "core/text/letters.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace barqeen::test {

struct ReferenceTurnRules {
    Table& poem;
    const std::vector<int32_t>& used;

    bool isUsed(int64_t id) const { return std::find(used.begin(), used.end(), int32_t(id)) != used.end(); }

    bool SaidByComputer(std::string_view text)
    {
        poem.setFiltered(false);
        poem.first();
        const std::string wanted = NormalizeText(text);
        for (; !poem.eof(); poem.next())
            if (NormalizeText(poem.field("Text").asString()) == wanted && isUsed(poem.field("TextID").asInteger()))
                return true;
        return false;
    }

    // Returns the chosen TextID, or 0 when the computer has no verse; does not record it.
    int64_t PickComputerVerse(std::string_view letter, std::mt19937_64& random)
    {
        poem.setFilterText("StartLetter = '" + std::string(letter) + "'");
        poem.setFiltered(true);
        bool available = false;
        for (poem.first(); !poem.eof() && !available; poem.next())
            available = !isUsed(poem.field("TextID").asInteger());
        if (!available)
            return 0;
        std::uniform_int_distribution<int> draw(0, poem.recordCount() - 1);
        do
            poem.setRecNo(draw(random) + 1);
        while (isUsed(poem.field("TextID").asInteger()));
        return poem.field("TextID").asInteger();
    }
};

}  // namespace barqeen::test
