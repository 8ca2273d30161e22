#pragma once
// When the system asks the program to stop (logout, shutdown: SIGTERM, SIGHUP, SIGINT), it ends
// as if the user had closed its windows: open dialogs first (a running game records its outcome),
// then the main window (the tables close). Nothing is left half written.
#include <QObject>

#include <functional>

class QSocketNotifier;
class QTimer;

namespace barqeen {

class OrderlyShutdown : public QObject {
    Q_OBJECT
public:
    // Installed first thing at start-up, before any message box can be shown: a stop asked while
    // the main window is not there yet closes the boxes and is remembered (see stopAsked).
    OrderlyShutdown();
    ~OrderlyShutdown() override;

    // The window closed last, once it exists, and how it closes without asking anyone (changed
    // pending edits are posted, those that cannot be are dropped). One instance per program.
    void setMainWindow(QWidget* mainWindow, std::function<void()> closeWithoutQuestions);
    // A stop signal came: the program is to end without going on.
    bool stopAsked() const { return stopAsked_; }

    // Closes the modal windows, innermost first, then the main window.
    void closeEverything();

private:
    void closeModalWindows();

    QWidget* main_ = nullptr;
    std::function<void()> closeWithoutQuestions_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* boxCloser_ = nullptr;  // before the main window: closes boxes that come up after the stop
    bool stopAsked_ = false;
};

}  // namespace barqeen
