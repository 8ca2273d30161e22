#pragma once
// The matching forms of all verses, kept for the search: laid end to end in a few long parts (one
// per core), so that a word is looked for in the whole table at memory speed. Verses changed,
// added or removed since the parts were made are kept aside until the next full making.
#include "core/store/table.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

// The set of letter pairs of a text, as 128 bits.
struct Pairs {
    uint64_t bits[2] = {0, 0};
    void add(std::string_view text)
    {
        for (size_t i = 1; i < text.size(); ++i) {
            const unsigned a = uint8_t(text[i - 1]), b = uint8_t(text[i]);
            if (a == ' ' || b == ' ')
                continue;  // a word holds no space: such pairs are never asked for
            const unsigned bit = ((a * 251u + b) * 2654435761u) >> 25;  // 0 … 127
            bits[bit >> 6] |= uint64_t(1) << (bit & 63);
        }
    }
    bool holds(const Pairs& wanted) const
    {
        return (bits[0] & wanted.bits[0]) == wanted.bits[0] && (bits[1] & wanted.bits[1]) == wanted.bits[1];
    }
    int count() const { return __builtin_popcountll(bits[0]) + __builtin_popcountll(bits[1]); }
};

class VerseForms {
public:
    struct Part {
        std::string text;              // the forms back to back
        std::vector<uint32_t> starts;  // form e is text[starts[e], starts[e + 1])
        std::vector<int64_t> keys;     // TextID of form e, ascending
        std::vector<uint8_t> stale;    // form e is replaced by one kept aside, or its verse is gone
        // The panel's fields of verse e, so that a search by them reads no row: the AuthorID (0
        // when empty) and the one-letter fields as their byte, -1 when empty, -2 when longer.
        std::vector<int64_t> authors;
        std::vector<int16_t> startLetters, endLetters;
        // The pairs of neighbouring letters of form e, each setting one of 128 bits: a verse whose
        // bits miss one of a word's cannot hold the word, and is passed over unread.
        std::vector<Pairs> pairs;
        size_t size() const { return keys.size(); }
        std::string_view form(size_t e) const
        {
            return std::string_view(text).substr(starts[e], starts[e + 1] - starts[e]);
        }
    };

    struct Columns {
        int key, text, author, startLetter, endLetter;
    };
    // Makes the forms of every row of the table, on up to `threads` threads. Reads the rows only.
    void build(const Table& poem, const Columns& columns, unsigned threads);
    void clear();
    bool built() const { return built_; }

    // The verse with this key changed, was added or is gone (row null); its form is kept aside.
    void replace(int64_t key, const Row* row, int textColumn);

    // How a one-letter field is kept in a part.
    static int16_t letterCode(std::string_view text)
    {
        return text.empty() ? int16_t(-1) : text.size() == 1 ? int16_t(uint8_t(text[0])) : int16_t(-2);
    }

    const std::vector<Part>& parts() const { return parts_; }
    const std::map<int64_t, std::string>& aside() const { return aside_; }
    int64_t maxKey() const { return maxKey_; }  // the highest key seen; 0 for none
    size_t size() const { return size_; }      // forms in the parts

private:
    std::vector<Part> parts_;
    std::map<int64_t, std::string> aside_;
    int64_t maxKey_ = 0;
    size_t size_ = 0;
    bool built_ = false;
};

}  // namespace barqeen
