#include "core/store/log_record.h"

#include "core/store/page_digest.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace barqeen {
namespace {

// The record's layout, in this machine's byte order (it never leaves the machine):
//   0  "BQLOGID2"   8  page size (4)   16  whose record it is (8)   24  page count (8)
//   32 the checksum of bytes 0-31 and of the digests (8)
//   64 the log's progress (16) and its checksum (8), written together after each commit
//   128 a digest (8) for each page.
// The progress is apart from the digests so that a commit writes 32 bytes, never the whole record;
// its checksum carries on from the digests' one, so that a progress and digests of different
// moments (a power cut keeping some writes and losing others) are no record either.
constexpr char kMagic[8] = {'B', 'Q', 'L', 'O', 'G', 'I', 'D', '2'};
constexpr off_t kChecksumAt = 32, kProgressAt = 64, kDigestsAt = 128;
static_assert(sizeof(LogProgress) == 16);

struct ProgressBlock {
    LogProgress progress;
    uint64_t checksum = 0;
};

std::string recordPath(const std::string& tablePath)
{
    return tablePath + "-wal-id";
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A checksum of whole 8-byte words, carried on from `from`.
uint64_t checksumOf(const void* data, size_t size, uint64_t from = 0x6a09e667f3bcc908ull)
{
    uint64_t h = from;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        h = (h ^ word) * 0x9e3779b97f4a7c15ull;
        h ^= h >> 29;
    }
    return h ^ size;
}

// Whose record it is: the folder (device and inode) and the file's name in it. A record copied
// from beside another table, or from another folder, is told apart; a folder renamed keeps it.
uint64_t ownerOf(const std::string& tablePath)
{
    struct stat folder {};
    if (::stat(folderOf(tablePath).c_str(), &folder) != 0)
        return 0;
    const std::string name = tablePath.substr(tablePath.rfind('/') + 1);
    std::string bytes(16 + ((name.size() + 7) / 8) * 8, '\0');
    const uint64_t device = folder.st_dev, inode = folder.st_ino;
    std::memcpy(bytes.data(), &device, 8);
    std::memcpy(bytes.data() + 8, &inode, 8);
    std::memcpy(bytes.data() + 16, name.data(), name.size());
    return checksumOf(bytes.data(), bytes.size()) ^ name.size();
}

struct Header {
    char magic[8];
    uint32_t pageSize = 0, unused = 0;
    uint64_t owner = 0, count = 0;
};
static_assert(sizeof(Header) == 32);

uint64_t headerChecksum(const Header& header, const std::vector<uint64_t>& digests)
{
    return checksumOf(digests.data(), digests.size() * sizeof(uint64_t), checksumOf(&header, sizeof header));
}

Header headerFor(uint64_t owner, uint32_t pageSize, size_t count)
{
    Header header;
    std::memcpy(header.magic, kMagic, 8);
    header.pageSize = pageSize;
    header.owner = owner;
    header.count = count;
    return header;
}

bool readAt(sqlite3_file* file, void* into, size_t size, off_t at)
{
    return file->pMethods->xRead(file, into, int(size), at) == SQLITE_OK;
}

// The page size a SQLite file's header gives, or 0.
uint32_t pageSizeOf(sqlite3_file* file)
{
    unsigned char field[2];
    if (!readAt(file, field, 2, 16))
        return 0;
    const uint32_t size = uint32_t(field[0]) << 8 | field[1];
    return size == 1 ? 65536 : size;
}

// The digest of every page of the file, or nullopt when it cannot be read.
std::optional<std::vector<uint64_t>> digestsOf(sqlite3_file* file, uint32_t& pageSize)
{
    sqlite3_int64 fileSize = 0;
    pageSize = pageSizeOf(file);
    if (pageSize < 512 || file->pMethods->xFileSize(file, &fileSize) != SQLITE_OK)
        return std::nullopt;
    std::vector<uint64_t> digests(size_t(fileSize) / pageSize);
    const size_t perRead = std::max<size_t>(1, (1u << 20) / pageSize);
    std::vector<unsigned char> buffer(perRead * pageSize);
    for (size_t page = 0; page < digests.size(); page += perRead) {
        const size_t count = std::min(perRead, digests.size() - page);
        if (!readAt(file, buffer.data(), count * pageSize, off_t(page) * pageSize))
            return std::nullopt;
        for (size_t i = 0; i < count; ++i)
            digests[page + i] = pageDigest(buffer.data() + i * pageSize, pageSize);
    }
    return digests;
}

// The round of the log at logPath: its header's salts.
std::optional<LogProgress> roundOf(const std::string& logPath)
{
    const int log = ::open(logPath.c_str(), O_RDONLY | O_CLOEXEC);
    unsigned char salts[8];
    const bool read = log >= 0 && ::pread(log, salts, 8, 16) == 8;
    if (log >= 0)
        ::close(log);
    if (!read)
        return std::nullopt;
    const auto word = [&](int at) {
        return uint32_t(salts[at]) << 24 | uint32_t(salts[at + 1]) << 16 | uint32_t(salts[at + 2]) << 8 | salts[at + 3];
    };
    LogProgress progress;
    progress.salt1 = word(0);
    progress.salt2 = word(4);
    return progress;
}

bool syncFolder(const std::string& path)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::optional<RecordedFile> RecordedFile::load(const std::string& tablePath)
{
    const int fd = ::open(recordPath(tablePath).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    RecordedFile record;
    Header header;
    uint64_t checksum = 0;
    ProgressBlock block;
    bool ok = ::pread(fd, &header, sizeof header, 0) == ssize_t(sizeof header) &&
              std::memcmp(header.magic, kMagic, 8) == 0 && header.owner == ownerOf(tablePath) &&
              header.count < (uint64_t(1) << 32) && ::pread(fd, &checksum, 8, kChecksumAt) == 8 &&
              ::pread(fd, &block, sizeof block, kProgressAt) == ssize_t(sizeof block) &&
              block.checksum == checksumOf(&block.progress, sizeof block.progress, checksum);
    if (ok) {
        record.pageSize = header.pageSize;
        record.progress = block.progress;
        record.digests.resize(header.count);
        const ssize_t bytes = ssize_t(header.count * sizeof(uint64_t));
        ok = ::pread(fd, record.digests.data(), size_t(bytes), kDigestsAt) == bytes &&
             checksum == headerChecksum(header, record.digests);
    }
    ::close(fd);
    return ok ? std::optional(std::move(record)) : std::nullopt;
}

bool RecordedFile::matches(sqlite3_file* file, const std::vector<LoggedPage>& logged) const
{
    uint32_t filePageSize = 0;
    const auto now = digestsOf(file, filePageSize);
    if (!now || filePageSize != pageSize || now->size() < digests.size())
        return false;
    for (size_t i = 0; i < now->size(); ++i) {
        const bool same = i < digests.size() && (*now)[i] == digests[i];
        if (!same && !std::binary_search(logged.begin(), logged.end(), LoggedPage{uint32_t(i + 1), (*now)[i]}))
            return false;
    }
    return true;
}

LogRecord::LogRecord(std::string tablePath, sqlite3_file* file)
    : path_(std::move(tablePath)), owner_(ownerOf(path_))
{
    auto digests = digestsOf(file, pageSize_);
    const std::string target = recordPath(path_), temp = target + ".new";
    std::remove(temp.c_str());
    if (!digests) {
        forget(path_);
        return;
    }
    digests_ = std::move(*digests);
    // The round of a log already there (left by a crash), without its commits: a log the program
    // did not see written gives no ground to tell the user later that changes went missing, but a
    // round that follows it is known for the file's own.
    progress_ = roundOf(path_ + "-wal").value_or(LogProgress{});
    fd_ = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    const bool written = fd_ >= 0 && writeDigests() && writeProgress(progress_);
    // Renamed whole over the last record, so that a crash leaves one record or the other. It
    // reaches the disk before the first fold-in (beforeFoldIn): until then the file is as it was.
    if (!written || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        fail();
    }
}

LogRecord::~LogRecord()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool LogRecord::writeAt(off_t at, const void* data, size_t size) noexcept
{
    return ::pwrite(fd_, data, size, at) == ssize_t(size);
}

bool LogRecord::writeProgress(const LogProgress& progress) noexcept
{
    // One write of 24 bytes: a crash in it leaves a block that fails its checksum, never a mix.
    const ProgressBlock block{progress, checksumOf(&progress, sizeof progress, digestsChecksum_)};
    return writeAt(kProgressAt, &block, sizeof block);
}

bool LogRecord::writeDigests() noexcept
{
    const Header header = headerFor(owner_, pageSize_, digests_.size());
    digestsChecksum_ = headerChecksum(header, digests_);
    return writeAt(kDigestsAt, digests_.data(), digests_.size() * sizeof(uint64_t)) &&
           writeAt(0, &header, sizeof header) && writeAt(kChecksumAt, &digestsChecksum_, 8);
}

void LogRecord::fail() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    forget(path_);
}

void LogRecord::committed(uint32_t frames) noexcept
{
    if (fd_ < 0)
        return;
    const std::optional<LogProgress> round = roundOf(path_ + "-wal");
    if (!round)
        return fail();
    LogProgress now = progress_;
    if (round->salt1 != now.salt1 || round->salt2 != now.salt2)
        now = *round;  // a new round of the log: nothing of it is folded in yet
    now.committed = frames;
    if (!writeProgress(now))
        return fail();
    progress_ = now;
}

void LogRecord::beforeFoldIn() noexcept
{
    if (fd_ < 0)
        return;
    // Made new, the record and its name in the folder; afterwards only its bytes.
    const bool ok = synced_ ? ::fdatasync(fd_) == 0 : ::fsync(fd_) == 0 && syncFolder(path_);
    if (!ok)
        return fail();
    synced_ = true;
}

void LogRecord::folded(sqlite3_file* file, const std::vector<uint32_t>& pages, uint32_t frames) noexcept
{
    if (fd_ < 0)
        return;
    sqlite3_int64 fileSize = 0;
    if (file->pMethods->xFileSize(file, &fileSize) != SQLITE_OK)
        return fail();
    digests_.resize(size_t(fileSize) / pageSize_);
    std::vector<unsigned char> page(pageSize_);
    bool ok = true;
    for (const uint32_t p : pages) {
        if (p == 0 || p > digests_.size())
            continue;
        ok = ok && readAt(file, page.data(), pageSize_, off_t(p - 1) * pageSize_);
        digests_[p - 1] = pageDigest(page.data(), pageSize_);
    }
    // The pages first, then how far the fold-in went: a crash in between leaves pages the log
    // still holds, which are not compared. Not synced: the record that reached the disk before the
    // fold-in still tells the file apart, its pages being the log's.
    LogProgress now = progress_;
    now.folded = std::min(frames, now.committed);
    if (!ok || !writeDigests() || !writeProgress(now))
        return fail();
    progress_ = now;
}

void LogRecord::forget(const std::string& tablePath) noexcept
{
    std::remove(recordPath(tablePath).c_str());
}

}  // namespace barqeen
