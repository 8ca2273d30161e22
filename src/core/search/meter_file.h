#pragma once
// The file that keeps the meters of all verses beside the tables (Poem.meters): a cache, never
// the truth. It says which table file it was made from and, for each verse, its key and a hash
// of the text it was scanned from; a verse whose text hashes otherwise now is scanned again.
// Written whole to a temporary file, flushed to the disk and renamed over the old one, so a
// crash leaves the old file or the new, never half of one. A file of another format, made by
// another scanner, or whose checksum fails is ignored and made again.
//
// Layout (little-endian): "BQMETERS", u32 format, u32 scanner revision, u64 device, u64 inode
// (the table file's identity), u64 count, then count × (i64 key, u64 text hash, u8 meter,
// u8 second meter), then u64 checksum of all the bytes before it.
#include "core/search/verse_meter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace barqeen {

inline constexpr uint32_t kMeterFileFormat = 1;

struct FileIdentity {
    uint64_t device = 0, inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at path; zeros when there is none.
FileIdentity IdentityOf(const std::string& path);

struct KeptMeter {
    int64_t key = 0;
    uint64_t textHash = 0;
    VerseMeter meter;
};

struct MeterFile {
    FileIdentity table;
    std::vector<KeptMeter> meters;  // by key, ascending
};

enum class MeterFileState { Read, Missing, Damaged, OtherFormat };

// Reads the file; anything but Read leaves `out` empty.
MeterFileState ReadMeterFile(const std::string& path, MeterFile& out);
// Writes it as described above; false (and the old file untouched) when it cannot be written.
bool WriteMeterFile(const std::string& path, const MeterFile& file);

// The hash that stands for a verse's text, and the file's checksum: 64 bits, eight bytes a step
// (read as little-endian; a machine of the other order only makes the file again).
uint64_t Hash64(std::string_view bytes);

}  // namespace barqeen
