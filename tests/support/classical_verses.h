#pragma once
// Verses of the classical poets as the prosody tests keep them (tests/core/prosody/*.tsv:
// meter TAB first hemistich TAB second), as the verse table holds them: Windows-1256, the
// hemistichs on two lines.
#include "core/text/codepage.h"

#include <fstream>
#include <string>
#include <vector>

namespace barqeen::test {

inline std::vector<std::string> classicalVerses(const std::string& file, size_t count)
{
    std::vector<std::string> verses;
    std::ifstream in(std::string(PROSODY_VERSES_DIR) + "/" + file);
    std::string line;
    while (verses.size() < count && std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t first = line.find('\t'), second = line.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const auto left = codepage::fromUtf8(line.substr(first + 1, second - first - 1));
        const auto right = codepage::fromUtf8(line.substr(second + 1));
        if (left && right)
            verses.push_back(*left + "\r\n" + *right);
    }
    return verses;
}

}  // namespace barqeen::test
