#include "core/store/batch_record.h"

#include "core/common/error.h"
#include "core/store/file_messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace barqeen::batch_record {
namespace {

void syncFolder(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string pathIn(const std::string& dir)
{
    return (std::filesystem::path(dir) / "Barqeen.batch-pending").string();
}

void write(const std::string& dir, const std::vector<Entry>& entries)
{
    std::string text;
    for (const Entry& e : entries)
        text += e.kind + " " + std::to_string(e.firstKey) + " " + std::to_string(e.afterKey) + "\n";
    const std::string path = pathIn(dir), temp = path + ".new";
    std::remove(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        throw Error("تعذّر حفظ الاستيراد: لم يُكتب سجلّه " + file_messages::isolated(path) + " " +
                    file_messages::isolated(std::string("(") + std::strerror(error) + ")") +
                    ". لم يُحفظ منه شيء.");
    }
    syncFolder(dir);
}

void remove(const std::string& dir) noexcept
{
    if (std::remove(pathIn(dir).c_str()) == 0)
        syncFolder(dir);
}

std::vector<Entry> read(const std::string& dir)
{
    std::vector<Entry> entries;
    std::ifstream in(pathIn(dir));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        Entry e;
        if (fields >> e.kind >> e.firstKey >> e.afterKey)
            entries.push_back(e);
    }
    return entries;
}

}  // namespace barqeen::batch_record
