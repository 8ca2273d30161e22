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
//   0  "BQLOGID1"   8  page size (4)   16  the log's progress (16)   32  page count (8)
//   64 a digest (8) for each page.
constexpr char kMagic[8] = {'B', 'Q', 'L', 'O', 'G', 'I', 'D', '1'};
constexpr off_t kPageSizeAt = 8, kProgressAt = 16, kCountAt = 32, kDigestsAt = 64;

std::string recordPath(const std::string& tablePath)
{
    return tablePath + "-wal-id";
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

}  // namespace

std::optional<RecordedFile> RecordedFile::load(const std::string& tablePath)
{
    const int fd = ::open(recordPath(tablePath).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    RecordedFile record;
    char magic[8];
    uint64_t count = 0;
    bool ok = ::pread(fd, magic, 8, 0) == 8 && std::memcmp(magic, kMagic, 8) == 0 &&
              ::pread(fd, &record.pageSize, 4, kPageSizeAt) == 4 &&
              ::pread(fd, &record.progress, sizeof record.progress, kProgressAt) == ssize_t(sizeof record.progress) &&
              ::pread(fd, &count, 8, kCountAt) == 8 && count < (uint64_t(1) << 32);
    if (ok) {
        record.digests.resize(count);
        const ssize_t bytes = ssize_t(count * sizeof(uint64_t));
        ok = ::pread(fd, record.digests.data(), size_t(bytes), kDigestsAt) == bytes;
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

LogRecord::LogRecord(std::string tablePath, sqlite3_file* file) : path_(std::move(tablePath))
{
    auto digests = digestsOf(file, pageSize_);
    const std::string target = recordPath(path_), temp = target + ".new";
    std::remove(temp.c_str());
    if (!digests) {
        forget(path_);
        return;
    }
    digests_ = std::move(*digests);
    fd_ = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    const uint64_t count = digests_.size();
    const bool written = fd_ >= 0 && writeAt(0, kMagic, 8) && writeAt(kPageSizeAt, &pageSize_, 4) &&
                         writeAt(kProgressAt, &progress_, sizeof progress_) && writeAt(kCountAt, &count, 8) &&
                         writeAt(kDigestsAt, digests_.data(), digests_.size() * sizeof(uint64_t));
    // Renamed whole over the last record, so that a crash leaves one record or the other.
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
    LogProgress now = progress_;
    const int log = ::open((path_ + "-wal").c_str(), O_RDONLY | O_CLOEXEC);
    unsigned char salts[8];
    if (log < 0 || ::pread(log, salts, 8, 16) != 8) {
        if (log >= 0)
            ::close(log);
        return fail();
    }
    ::close(log);
    const auto word = [&](int at) {
        return uint32_t(salts[at]) << 24 | uint32_t(salts[at + 1]) << 16 | uint32_t(salts[at + 2]) << 8 | salts[at + 3];
    };
    if (word(0) != now.salt1 || word(4) != now.salt2)
        now = {word(0), word(4), 0, 0};  // a new round of the log: nothing of it is folded in yet
    now.committed = frames;
    if (!writeAt(kProgressAt, &now, sizeof now))
        return fail();
    progress_ = now;
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
    // still holds, which are not compared.
    const uint64_t count = digests_.size();
    LogProgress now = progress_;
    now.folded = std::min(frames, now.committed);
    if (!ok || !writeAt(kDigestsAt, digests_.data(), digests_.size() * sizeof(uint64_t)) || !writeAt(kCountAt, &count, 8) ||
        !writeAt(kProgressAt, &now, sizeof now))
        return fail();
    progress_ = now;
}

void LogRecord::forget(const std::string& tablePath) noexcept
{
    std::remove(recordPath(tablePath).c_str());
}

}  // namespace barqeen
