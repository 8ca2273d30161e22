#include "windows/shell/file_version.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace barqeen {
namespace {

template <class T>
bool readAt(std::ifstream& in, uint64_t offset, T& out)
{
    in.seekg(std::streamoff(offset));
    return bool(in.read(reinterpret_cast<char*>(&out), sizeof out));
}

// The version record's bytes, or nothing when the file has none (not an ELF file, or no section).
bool findRecord(const std::string& path, VersionRecord& record)
{
    std::ifstream in(path, std::ios::binary);
    Elf64_Ehdr header{};
    if (!in || !readAt(in, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) ||
        header.e_shstrndx >= header.e_shnum)
        return false;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    in.seekg(std::streamoff(header.e_shoff));
    if (!in.read(reinterpret_cast<char*>(sections.data()), std::streamsize(sections.size() * sizeof(Elf64_Shdr))))
        return false;
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20))
        return false;
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    in.seekg(std::streamoff(names.sh_offset));
    if (!in.read(nameTable.data(), std::streamsize(names.sh_size)))
        return false;
    for (const Elf64_Shdr& s : sections) {
        if (s.sh_name >= names.sh_size || std::strcmp(&nameTable[s.sh_name], kVersionSection) != 0)
            continue;
        return s.sh_size >= sizeof(VersionRecord) && readAt(in, s.sh_offset, record) && record.magic == kVersionMagic;
    }
    return false;
}

}  // namespace

bool GetFileVersion(const std::string& path, uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build)
{
    VersionRecord record{};
    if (!findRecord(path, record))
        return false;
    major = record.major;
    minor = record.minor;
    release = record.release;
    build = record.build;
    return true;
}

}  // namespace barqeen
