#include "app/data_folder.h"

#include "windows/shell/application.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace barqeen {

DataOption takeDataOption(const QStringList& args)
{
    DataOption option;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--data")) {
            if (i + 1 == args.size() || args[i + 1].isEmpty()) {
                option.error = QStringLiteral("الخيار --data يأخذ اسم مجلد.");
                return option;
            }
            option.dir = args[++i];
        } else if (arg.startsWith(QLatin1String("--data="))) {
            option.dir = arg.mid(7);
            if (option.dir.isEmpty()) {
                option.error = QStringLiteral("الخيار --data يأخذ اسم مجلد.");
                return option;
            }
        } else {
            option.rest << arg;
        }
    }
    return option;
}

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
