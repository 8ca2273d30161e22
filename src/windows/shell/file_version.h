#pragma once
// The version an executable carries. The build writes it into a section of its own in the
// program file (.barqeen_version, filled from the one version in CMakeLists.txt); this reads it
// back from any file.
#include <cstdint>
#include <string>

namespace barqeen {

struct VersionRecord {
    uint32_t magic;
    uint16_t major;
    uint16_t minor;
    uint16_t release;
    uint16_t build;
};
inline constexpr uint32_t kVersionMagic = 0x56514242;  // "BBQV"
inline constexpr const char* kVersionSection = ".barqeen_version";

// True when the file carries a version; the four numbers are left untouched otherwise.
bool GetFileVersion(const std::string& path, uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build);

}  // namespace barqeen
