#pragma once
// Characters that look like others: the Persian and Urdu letters an Arabic keyboard layout or a
// Persian site produces stand for Arabic letters the tables hold (ک is ك), and the invisible
// format characters (joiners, direction marks, a byte-order mark inside the text) and the
// Unicode spaces would make two copies of one verse look different to the duplicate check.
#include <string>
#include <string_view>

namespace barqeen::exchange {

struct FoldCounts {
    size_t letters = 0;    // look-alike letters made the Arabic letter
    size_t invisible = 0;  // format characters removed
    size_t spaces = 0;     // no-break and other Unicode spaces made a plain space

    FoldCounts& operator+=(const FoldCounts& o)
    {
        letters += o.letters;
        invisible += o.invisible;
        spaces += o.spaces;
        return *this;
    }
    bool any() const { return letters || invisible || spaces; }
};

// utf8 with those characters folded or removed, into out; counts what was done. Text with none
// of them is copied as it is. Bytes that are not valid UTF-8 are copied untouched.
void foldLookalikes(std::string_view utf8, std::string& out, FoldCounts& counts);

}  // namespace barqeen::exchange
