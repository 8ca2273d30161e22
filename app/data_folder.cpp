#include "app/data_folder.h"

#include "windows/shell/application.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace barqeen {

bool isInstalled(const QString& executableDir)
{
    const QDir bin(executableDir);
    return bin.dirName() == QLatin1String("bin") &&
           QFileInfo::exists(bin.filePath(QStringLiteral("../share/applications/") + kDesktopId + QStringLiteral(".desktop")));
}

QString dataFolderFor(const QString& requested, const QString& executableDir)
{
    if (!requested.isEmpty())
        return QDir::cleanPath(QDir::current().absoluteFilePath(requested));
    if (!isInstalled(executableDir) && QFileInfo(executableDir).isWritable())
        return executableDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool makeDataFolder(const QString& dir, QString& error)
{
    if (!dir.isEmpty() && QDir().mkpath(dir) && QFileInfo(dir).isDir())
        return true;
    error = QStringLiteral("تعذر إنشاء مجلد البيانات \u2068%1\u2069.").arg(dir);
    return false;
}

}  // namespace barqeen
