#pragma once
// The starter collection («مختارات برقين»): classical verses built into the program, so that a new
// user can play at once. It is brought in by an ordinary import of the file it is written out to.
#include <QString>
#include <QTemporaryDir>

namespace barqeen {

class StarterCollection {
public:
    static QString name();  // «مختارات برقين»
    static int verseCount();

    // Writes the collection into a folder of its own, removed with this object; empty path() when
    // it cannot be written (the reason in error()).
    StarterCollection();
    const QString& path() const { return path_; }
    const QString& error() const { return error_; }

private:
    QTemporaryDir dir_;
    QString path_, error_;
};

}  // namespace barqeen
