#pragma once
// The record of a change written to several table files at once (an import): kept beside the
// files while their commits go one after another, so that a crash between two of them is undone
// at the next start, and the change is in all the files or in none.
#include <cstdint>
#include <string>
#include <vector>

namespace barqeen::batch_record {

struct Entry {
    std::string kind;      // the table ("Authors")
    int64_t firstKey = 0;  // its key counter before the change
    int64_t afterKey = 0;  // and after it
};

std::string pathIn(const std::string& dir);

// Both reach the disk before they return; write throws an Error saying why it could not.
void write(const std::string& dir, const std::vector<Entry>& entries);
void remove(const std::string& dir) noexcept;
// The entries of a record left by a crash (in commit order), or none.
std::vector<Entry> read(const std::string& dir);

}  // namespace barqeen::batch_record
