#include "core/store/kept_names.h"

#include <QDateTime>
#include <sys/stat.h>

#include <filesystem>

namespace barqeen {

bool pathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string keptName(const std::string& tablePath, const std::string& tag, const std::string& extension)
{
    const std::filesystem::path original(tablePath);
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")).toStdString();
    const std::string stem = (original.parent_path() / original.stem()).string() + tag + stamp;
    std::string kept = stem + extension;
    for (int n = 2; pathExists(kept); ++n)
        kept = stem + "-" + std::to_string(n) + extension;
    return kept;
}

}  // namespace barqeen
