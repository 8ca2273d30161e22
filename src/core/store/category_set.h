#pragma once
// The text a verse keeps its categories in: "(" ID ")" tags back to back, (3)(12); the empty
// text means no category. The one place that text is written and read: the verse window's ticks,
// the import, the export and the search all go through here. It is read two ways, both kept as
// the program has always read them: as the verse window decodes it (ForEachId, Decode: a tag's inside
// as a decimal integer, so (+1) and (01) name category 1) and as the search tests it
// (HasCategory: the exact text "(1)").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen::category_set {

// The tags of the ticked items, in item order: ids[i] belongs to item i.
std::string Encode(const std::vector<int32_t>& ids, const std::vector<bool>& ticked);

// The tags of these IDs, in the order given.
std::string Write(const std::vector<int32_t>& ids);

// "(" id ")": one tag, as the search looks for it.
std::string Tag(int32_t id);

// A 32-bit signed decimal integer, optionally signed, nothing else around it.
std::optional<int32_t> ParseInteger(std::string_view text);

// The IDs a text names as the verse window reads it, in text order, repeats kept; reading stops
// at the first tag whose inside is not a decimal integer, which is answered (else nothing).
template <class EachId>
std::optional<std::string_view> ForEachId(std::string_view text, EachId&& each)
{
    while (!text.empty()) {
        text.remove_prefix(1);  // the tag's "(", whatever it is
        // Without a closing ")" the inside is empty, and so not a number.
        const size_t close = text.find(')');
        const std::string_view inside = close == std::string_view::npos ? std::string_view() : text.substr(0, close);
        const std::optional<int32_t> id = ParseInteger(inside);
        if (!id)
            return inside;
        each(*id);
        text.remove_prefix(close + 1);
    }
    return std::nullopt;
}

// What a text says about a list of categories: the items to tick (each lowest index whose ID a
// tag names; a repeated tag names the same item again, an unknown ID names none) and, when
// reading stopped at a tag whose inside is not a decimal integer, that inside. Items named by
// the tags before the bad one are kept.
struct Decoded {
    std::vector<size_t> items;
    std::optional<std::string> invalidTag;
};
Decoded Decode(std::string_view text, const std::vector<int32_t>& ids);

// "'%s' is not a valid integer value" for an inside that cannot be read (code-page bytes in,
// UTF-8 out, as every error text).
std::string InvalidTagMessage(std::string_view inside);

// True exactly when text holds "(" id ")" somewhere: 1 is in (11)(1) but not in (11)(21).
bool HasCategory(int32_t id, std::string_view text);

}  // namespace barqeen::category_set
