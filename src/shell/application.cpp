#include "shell/application.h"

#include "shell/dialogs.h"
#include "shell/fonts.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLockFile>
#include <QTranslator>

// The pictures and fonts live in a static library: their resources must be pulled in by name.
static void initResources()
{
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(fonts);
}

namespace barqeen {

const QString kAnotherCopy = QStringLiteral(
    "برنامج برقين يعمل الآن في نسخة أخرى تستعمل الجداول نفسها.\nلا يمكن تشغيل نسختين معًا على جداول واحدة؛ "
    "ستُغلق هذه النسخة دون أن تمس الجداول.");

void setUpApplication(QApplication& app)
{
    app.setApplicationName(kAppTitle);
    app.setLayoutDirection(Qt::RightToLeft);
    initResources();
    fonts::load();
    app.setFont(fonts::plain(8));
    // The standard buttons (OK, Yes, No, Cancel) in Arabic.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Arabic), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

std::unique_ptr<QLockFile> lockDataFolder(const QString& dir, bool& anotherCopyRuns)
{
    anotherCopyRuns = false;
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(QStringLiteral("Barqeen.lock")));
    lock->setStaleLockTime(0);  // only a lock whose program is gone is stale
    if (lock->tryLock(0))
        return lock;
    if (lock->error() == QLockFile::LockFailedError) {
        anotherCopyRuns = true;
        Dialogs::message(kAnotherCopy);
    }
    return nullptr;
}

}  // namespace barqeen
