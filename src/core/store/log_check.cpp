#include "core/store/log_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace barqeen::log_check {
namespace {

constexpr uint32_t kMagicLittle = 0x377f0682, kMagicBig = 0x377f0683;
constexpr size_t kHeader = 32, kFrameHeader = 24;

uint32_t bigEndian(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// SQLite's log checksum: pairs of 32-bit words, in the byte order the magic names.
void checksum(bool big, const unsigned char* data, size_t size, uint32_t& s0, uint32_t& s1)
{
    for (size_t i = 0; i + 8 <= size; i += 8) {
        const auto word = [&](size_t at) {
            return big ? bigEndian(data + at)
                       : uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
                             uint32_t(data[at + 3]) << 24;
        };
        s0 += word(i) + s1;
        s1 += word(i + 4) + s0;
    }
}

// The header's own faults, or "".
std::string headerDamage(const unsigned char* header, size_t size)
{
    if (size < kHeader)
        return "سجلّه مقطوع قبل آخر رأسه";
    const uint32_t magic = bigEndian(header);
    const uint32_t pageSize = bigEndian(header + 8);
    if ((magic != kMagicLittle && magic != kMagicBig) || bigEndian(header + 4) != 3007000 || pageSize < 512 ||
        pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return "سجلّه ليس سجلًّا سليمًا";
    uint32_t s0 = 0, s1 = 0;
    checksum(magic == kMagicBig, header, 24, s0, s1);
    if (s0 != bigEndian(header + 24) || s1 != bigEndian(header + 28))
        return "رأس سجلّه تالف";
    return "";
}

void sortOnce(std::vector<uint32_t>& pages)
{
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
}

}  // namespace

LogScan scan(const std::string& logPath)
{
    LogScan found;
    std::ifstream in(logPath, std::ios::binary);
    if (!in)
        return found;
    const std::vector<unsigned char> log{std::istreambuf_iterator<char>(in), {}};
    if (log.empty())
        return found;
    found.damage = headerDamage(log.data(), log.size());
    if (!found.damage.empty())
        return found;
    found.present = true;
    const bool big = bigEndian(log.data()) == kMagicBig;
    found.pageSize = bigEndian(log.data() + 8);
    found.salt1 = bigEndian(log.data() + 16);
    found.salt2 = bigEndian(log.data() + 20);
    uint32_t s0 = bigEndian(log.data() + 24), s1 = bigEndian(log.data() + 28);
    std::vector<LoggedPage> pending;  // pages of the change being read, until its commit frame
    const size_t frame = kFrameHeader + found.pageSize;
    uint32_t frames = 0;
    for (size_t at = kHeader; at + frame <= log.size(); at += frame) {
        const unsigned char* f = log.data() + at;
        // Frames of an earlier round of the log (other salts) are left-overs, and a part of a frame
        // at the end is a change the program was writing when it stopped: neither is damage.
        if (!std::equal(f + 8, f + 16, log.data() + 16))
            break;
        checksum(big, f, 8, s0, s1);
        checksum(big, f + kFrameHeader, found.pageSize, s0, s1);
        if (s0 != bigEndian(f + 16) || s1 != bigEndian(f + 20)) {
            found.damage = "في سجلّه صفحة تالفة";
            break;
        }
        ++frames;
        pending.push_back({bigEndian(f), pageDigest(f + kFrameHeader, found.pageSize)});
        if (bigEndian(f + 4) != 0) {  // a commit: the size of the file after it
            found.committedFrames = frames;
            found.frames.insert(found.frames.end(), pending.begin(), pending.end());
            pending.clear();
        }
    }
    std::sort(found.frames.begin(), found.frames.end());
    return found;
}

std::vector<uint32_t> loggedPages(const std::string& logPath)
{
    std::vector<uint32_t> pages;
    const int fd = ::open(logPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return pages;
    unsigned char header[kHeader];
    if (::pread(fd, header, kHeader, 0) == ssize_t(kHeader) && headerDamage(header, kHeader).empty()) {
        const size_t frame = kFrameHeader + bigEndian(header + 8);
        unsigned char f[kFrameHeader];
        for (off_t at = kHeader; ::pread(fd, f, kFrameHeader, at) == ssize_t(kFrameHeader); at += off_t(frame)) {
            if (!std::equal(f + 8, f + 16, header + 16))
                break;
            pages.push_back(bigEndian(f));
        }
    }
    ::close(fd);
    sortOnce(pages);
    return pages;
}

}  // namespace barqeen::log_check
