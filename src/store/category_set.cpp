#include "store/category_set.h"

#include "common/error.h"
#include "text/codepage.h"

#include <charconv>

namespace barqeen::category_set {

std::string Encode(const std::vector<int32_t>& ids, const std::vector<bool>& ticked)
{
    std::string text;
    for (size_t i = 0; i < ids.size() && i < ticked.size(); ++i) {
        if (!ticked[i])
            continue;
        text += '(';
        text += std::to_string(ids[i]);
        text += ')';
    }
    return text;
}

std::optional<int32_t> ParseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

Decoded Decode(std::string_view text, const std::vector<int32_t>& ids)
{
    Decoded out;
    while (!text.empty()) {
        text.remove_prefix(1);  // the tag's "(", whatever it is
        // Without a closing ")" the inside is empty, and so not a number.
        const size_t close = text.find(')');
        const std::string_view inside = close == std::string_view::npos ? std::string_view() : text.substr(0, close);
        const std::optional<int32_t> id = ParseInteger(inside);
        if (!id) {
            out.invalidTag = std::string(inside);
            return out;
        }
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == *id) {
                out.items.push_back(i);
                break;
            }
        text.remove_prefix(close + 1);
    }
    return out;
}

std::string InvalidTagMessage(std::string_view inside)
{
    return format("'%s' is not a valid integer value", {codepage::toUtf8(inside)});
}

bool HasCategory(int32_t id, std::string_view text)
{
    const std::string tag = "(" + std::to_string(id) + ")";
    return text.find(tag) != std::string_view::npos;
}

}  // namespace barqeen::category_set
