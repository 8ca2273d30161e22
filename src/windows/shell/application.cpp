#include "windows/shell/application.h"

#include "windows/shell/accessibility.h"
#include "windows/shell/dialogs.h"
#include "windows/shell/fonts.h"
#include "windows/shell/keyboard.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLockFile>
#include <QProxyStyle>
#include <QTranslator>

// The pictures and fonts live in a static library: their resources must be pulled in by name.
static void initResources()
{
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(fonts);
}

namespace barqeen {
namespace {

// The toolkit's standard buttons (Yes, No, OK) carry small pictures on some desktops; right to
// left, the picture takes the middle and pushes the Arabic word over the button's edge. The
// boxes show the word alone.
class ButtonsWithoutPicturesStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

const QString kAnotherCopy = QStringLiteral(
    "برنامج برقين يعمل الآن في نسخة أخرى تستعمل الجداول نفسها.\nلا يمكن تشغيل نسختين معًا على جداول واحدة؛ "
    "ستُغلق هذه النسخة دون أن تمس الجداول.");

void setUpApplication(QApplication& app)
{
    app.setApplicationName(kAppTitle);
    app.setDesktopFileName(kDesktopId);
    app.setLayoutDirection(Qt::RightToLeft);
    app.setStyle(new ButtonsWithoutPicturesStyle);  // the application owns it
    initResources();
    setUpAccessibility(app);
    setUpKeyboard(app);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/pictures/barqeen-%1.png").arg(size), QSize(size, size));
    app.setWindowIcon(icon);
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
