#include "store/log_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

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

}  // namespace

std::string damage(const std::string& logPath)
{
    std::ifstream in(logPath, std::ios::binary);
    if (!in)
        return "";
    const std::vector<unsigned char> log{std::istreambuf_iterator<char>(in), {}};
    if (log.empty())
        return "";
    if (log.size() < kHeader)
        return "سجلّه مقطوع قبل آخر رأسه";
    const uint32_t magic = bigEndian(log.data());
    const uint32_t pageSize = bigEndian(log.data() + 8);
    if ((magic != kMagicLittle && magic != kMagicBig) || bigEndian(log.data() + 4) != 3007000 || pageSize < 512 ||
        pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return "سجلّه ليس سجلًّا سليمًا";
    const bool big = magic == kMagicBig;
    uint32_t s0 = 0, s1 = 0;
    checksum(big, log.data(), 24, s0, s1);
    if (s0 != bigEndian(log.data() + 24) || s1 != bigEndian(log.data() + 28))
        return "رأس سجلّه تالف";
    const size_t frame = kFrameHeader + pageSize;
    for (size_t at = kHeader; at + frame <= log.size(); at += frame) {
        const unsigned char* f = log.data() + at;
        // Frames of an earlier round of the log (other salts) are left-overs, and a part of a frame
        // at the end is a change the program was writing when it stopped: neither is damage.
        if (!std::equal(f + 8, f + 16, log.data() + 16))
            break;
        checksum(big, f, 8, s0, s1);
        checksum(big, f + kFrameHeader, pageSize, s0, s1);
        if (s0 != bigEndian(f + 16) || s1 != bigEndian(f + 20))
            return "في سجلّه صفحة تالفة";
    }
    return "";
}

std::string identityOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "";
    return std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

void record(const std::string& path) noexcept
{
    const std::string text = identityOf(path) + "\n";
    const std::string target = path + "-wal-id", temp = target + ".new";
    std::remove(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0)
        std::remove(temp.c_str());
}

void forget(const std::string& path) noexcept
{
    std::remove((path + "-wal-id").c_str());
}

std::string recorded(const std::string& path)
{
    std::ifstream in(path + "-wal-id");
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace barqeen::log_check
