#pragma once
// The words of a search text, and the forms they are matched in.
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

// Clears list and adds the words of text in order: the runs of bytes between spaces, with
// control bytes and spaces (00 to 20) in front of each word dropped. Leading, trailing and
// repeated spaces make no word; every word is non-empty.
void SplitWords(std::string_view text, std::vector<std::string>& list);

// True when the text holds a byte above 20: only then is there a word test.
bool HasWords(std::string_view text);

// The matching forms of the words of text (empty when there is no word test). A word made only
// of marks has an empty form, which occurs in no verse.
std::vector<std::string> WordForms(std::string_view text);

}  // namespace barqeen
