#pragma once
// Names for what the program keeps beside a table file (its rows, a log set aside).
#include <string>

namespace barqeen {

// Whether anything, even a dangling link, has the name.
bool pathExists(const std::string& path);

// "<folder>/<file's stem><tag><yyyyMMdd-hhmmss>[-n]<extension>", a name nothing has yet.
std::string keptName(const std::string& tablePath, const std::string& tag, const std::string& extension);

}  // namespace barqeen
