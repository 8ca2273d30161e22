#include "core/search/split_words.h"

#include "core/text/letters.h"

namespace barqeen {
namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view dropLeadingBlanks(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

}  // namespace

void SplitWords(std::string_view text, std::vector<std::string>& list)
{
    list.clear();
    const std::string padded = std::string(text) + ' ';
    std::string_view rest = dropLeadingBlanks(padded);
    while (HasWords(rest)) {
        const size_t space = rest.find(' ');
        list.emplace_back(rest.substr(0, space));
        rest = dropLeadingBlanks(rest.substr(space));
    }
}

bool HasWords(std::string_view text)
{
    for (char c : text)
        if (!isBlank(c))
            return true;
    return false;
}

std::vector<std::string> WordForms(std::string_view text)
{
    std::vector<std::string> forms;
    if (!HasWords(text))
        return forms;
    SplitWords(text, forms);
    for (std::string& word : forms)
        word = NormalizeText(word);
    return forms;
}

}  // namespace barqeen
