#pragma once
// Runs an import or an export in slices under a modal progress dialog with a cancel button: the
// windows keep painting and the user can stop it at any point before it commits.
#include <QString>

#include <functional>

class QWidget;

namespace barqeen {

struct SteppedWork {
    std::function<bool()> step;        // does one slice; false once the work has ended
    std::function<double()> progress;  // 0 to 1
    std::function<QString()> stage;    // what it is doing now
    std::function<void()> cancel;
};

// Shows the dialog (title as its caption) until the work ends or is cancelled.
void runWithProgress(QWidget* parent, const QString& title, const SteppedWork& work);

}  // namespace barqeen
