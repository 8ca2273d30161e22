#pragma once
// Runs an import or an export in slices under a modal progress dialog with a cancel button: the
// windows keep painting and the user can stop it at any point before it commits. From then on
// the button is greyed and a cancel (the button, Esc, closing the dialog) is refused.
#include <QString>

#include <functional>

class QWidget;

namespace barqeen {

struct SteppedWork {
    std::function<bool()> step;        // does one slice; false once the work has ended
    std::function<double()> progress;  // 0 to 1
    std::function<QString()> stage;    // what it is doing now
    std::function<bool()> cancel;      // true when it took effect
    std::function<bool()> cancellable = [] { return true; };  // a cancel would still take effect
};

// Shows the dialog (title as its caption) until the work ends or is cancelled.
void runWithProgress(QWidget* parent, const QString& title, const SteppedWork& work);

}  // namespace barqeen
