#include "core/search/meter_file.h"

#include "core/prosody/meter_finder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace barqeen {
namespace {

constexpr char kMagic[8] = {'B', 'Q', 'M', 'E', 'T', 'E', 'R', 'S'};
constexpr size_t kHeader = 8 + 4 + 4 + 8 + 8 + 8;
constexpr size_t kEntry = 8 + 8 + 1 + 1;

template <class T>
void put(std::string& out, T value)
{
    for (size_t i = 0; i < sizeof(T); ++i)
        out += char(uint64_t(value) >> (8 * i) & 0xFF);
}

template <class T>
T get(const char* at)
{
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= uint64_t(uint8_t(at[i])) << (8 * i);
    return T(value);
}

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// The folder's entry of the renamed file reaches the disk too.
void syncFolder(const std::string& path)
{
    const std::string dir = std::filesystem::path(path).parent_path().string();
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

uint64_t Hash64(std::string_view bytes)
{
    constexpr uint64_t k = 0x9E3779B97F4A7C15ull;
    const char* p = bytes.data();
    const size_t n = bytes.size();
    uint64_t h = k ^ (n * 0xC2B2AE3D27D4EB4Full);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        h = (h ^ word) * k;
        h ^= h >> 31;
    }
    uint64_t tail = 0;
    if (i < n)
        std::memcpy(&tail, p + i, n - i);
    h = (h ^ tail) * k;
    // The last mix of MurmurHash3: every bit of the input moves every bit of the hash.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

FileIdentity IdentityOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

MeterFileState ReadMeterFile(const std::string& path, MeterFile& out)
{
    out = {};
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return MeterFileState::Missing;
    if (!std::filesystem::is_regular_file(status))
        return MeterFileState::Damaged;  // a folder or a device in its place: not ours to read
    std::ifstream in(path, std::ios::binary);
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (!in || ec)
        return MeterFileState::Damaged;
    std::string bytes(size_t(size), '\0');
    if (!in.read(bytes.data(), std::streamsize(size)) || in.gcount() != std::streamsize(size))
        return MeterFileState::Damaged;
    if (bytes.size() < kHeader + 8 || std::memcmp(bytes.data(), kMagic, 8) != 0)
        return MeterFileState::Damaged;
    const char* p = bytes.data();
    if (get<uint32_t>(p + 8) != kMeterFileFormat || get<uint32_t>(p + 12) != prosody::kScannerRevision)
        return MeterFileState::OtherFormat;
    const uint64_t count = get<uint64_t>(p + 32);
    if (count > (bytes.size() - kHeader - 8) / kEntry || kHeader + count * kEntry + 8 != bytes.size())
        return MeterFileState::Damaged;
    const size_t body = kHeader + size_t(count) * kEntry;
    if (get<uint64_t>(p + body) != Hash64(std::string_view(p, body)))
        return MeterFileState::Damaged;
    MeterFile file;
    file.table = {get<uint64_t>(p + 16), get<uint64_t>(p + 24)};
    file.meters.resize(size_t(count));
    int64_t previous = 0;
    for (size_t i = 0; i < count; ++i) {
        const char* e = p + kHeader + i * kEntry;
        KeptMeter& m = file.meters[i];
        m.key = get<int64_t>(e);
        m.textHash = get<uint64_t>(e + 8);
        m.meter = {uint8_t(e[16]), uint8_t(e[17])};
        // A sound checksum over keys out of order or meters out of range: not a file we wrote.
        const bool meterInRange = m.meter.first <= kNoMeterNamed && m.meter.second <= kNoMeterNamed;
        if ((i > 0 && m.key <= previous) || !meterInRange)
            return MeterFileState::Damaged;
        previous = m.key;
    }
    out = std::move(file);
    return MeterFileState::Read;
}

bool WriteMeterFile(const std::string& path, const MeterFile& file)
{
    std::string bytes(kMagic, 8);
    bytes.reserve(kHeader + file.meters.size() * kEntry + 8);
    put(bytes, kMeterFileFormat);
    put(bytes, prosody::kScannerRevision);
    put(bytes, file.table.device);
    put(bytes, file.table.inode);
    put(bytes, uint64_t(file.meters.size()));
    for (const KeptMeter& m : file.meters) {
        put(bytes, m.key);
        put(bytes, m.textHash);
        bytes += char(m.meter.first);
        bytes += char(m.meter.second);
    }
    put(bytes, Hash64(bytes));

    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(path);
    return true;
}

}  // namespace barqeen
