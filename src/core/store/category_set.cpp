#include "core/store/category_set.h"

#include "core/common/error.h"
#include "core/text/codepage.h"

#include <charconv>

namespace barqeen::category_set {

std::string Tag(int32_t id)
{
    return "(" + std::to_string(id) + ")";
}

std::string Write(const std::vector<int32_t>& ids)
{
    std::string text;
    for (const int32_t id : ids)
        text += Tag(id);
    return text;
}

std::string Encode(const std::vector<int32_t>& ids, const std::vector<bool>& ticked)
{
    std::vector<int32_t> chosen;
    for (size_t i = 0; i < ids.size() && i < ticked.size(); ++i)
        if (ticked[i])
            chosen.push_back(ids[i]);
    return Write(chosen);
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
    if (const auto invalid = ForEachId(text, [&](int32_t id) {
            for (size_t i = 0; i < ids.size(); ++i)
                if (ids[i] == id) {
                    out.items.push_back(i);
                    break;
                }
        }))
        out.invalidTag = std::string(*invalid);
    return out;
}

std::string InvalidTagMessage(std::string_view inside)
{
    return format("'%s' is not a valid integer value", {codepage::toUtf8(inside)});
}

bool HasCategory(int32_t id, std::string_view text)
{
    return text.find(Tag(id)) != std::string_view::npos;
}

}  // namespace barqeen::category_set
