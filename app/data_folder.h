#pragma once
// Where the tables live. A copy of the program in a folder of its own (a portable copy,
// ~/Barqeen after ./run) keeps them beside itself; an installed program (bin/ beside its
// share/applications entry) or one in a folder the user cannot write keeps them in the user's
// data folder. `--data DIR` chooses another folder.
#include <QString>
#include <QStringList>

namespace barqeen {

// True when the executable sits in an installed tree: P/bin/barqeen with the desktop entry in
// P/share/applications.
bool isInstalled(const QString& executableDir);

// The folder of the tables: `requested` when given (made absolute), else the executable's folder
// when that is a copy of its own the user can write, else the user's data folder.
QString dataFolderFor(const QString& requested, const QString& executableDir);

// Creates the folder when it is missing; false and the Arabic reason when it cannot be.
bool makeDataFolder(const QString& dir, QString& error);

}  // namespace barqeen
