#include "windows/shell/starter_collection.h"

#include <QFile>

// The collection lives in a static library: its resource is pulled in by name, before first use
// (the commands for scripts use it without the windows' application).
static void initStarterResource()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(starter);
        return true;
    }();
    (void)done;
}

namespace barqeen {
namespace {

const QString kResource = QStringLiteral(":/starter/verses.jsonl");

}  // namespace

QString StarterCollection::name()
{
    return QStringLiteral("مختارات برقين");
}

int StarterCollection::verseCount()
{
    // One verse a line; counted once, from the collection itself.
    static const int count = [] {
        initStarterResource();
        QFile file(kResource);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return int(file.readAll().count('\n'));
    }();
    return count;
}

StarterCollection::StarterCollection()
{
    initStarterResource();
    if (!dir_.isValid()) {
        error_ = dir_.errorString();
        return;
    }
    const QString target = dir_.filePath(name() + QStringLiteral(".jsonl"));
    QFile::remove(target);
    if (!QFile::copy(kResource, target)) {
        error_ = QStringLiteral("تعذّرت كتابة المختارات في المجلد المؤقت \u2068%1\u2069").arg(dir_.path());
        return;
    }
    // A copy of a resource is read-only; the import only reads it, but its report goes beside it.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    path_ = target;
}

}  // namespace barqeen
