#pragma once
// The application-wide settings and the one-copy-per-folder lock, used at start-up.
#include <QString>

#include <memory>

class QApplication;
class QLockFile;

namespace barqeen {

// The reverse-DNS name of the program: its desktop entry, icon and metadata carry it, and the
// window names it so the desktop matches the window to its entry.
inline const QString kDesktopId = QStringLiteral(BARQEEN_DESKTOP_ID);

// The application-wide settings: title, right-to-left, bundled fonts, Arabic standard buttons.
void setUpApplication(QApplication& app);

// One running copy per folder of tables. Returns the held lock, or nullptr after telling the
// user (in Arabic) that another copy is using the folder. A folder where no lock can be made
// (read-only) cannot be written by either copy, so it is used without one.
std::unique_ptr<QLockFile> lockDataFolder(const QString& dir, bool& anotherCopyRuns);

}  // namespace barqeen
