#pragma once
// When the system asks the program to stop (logout, shutdown: SIGTERM, SIGHUP, SIGINT), it ends
// as if the user had closed its windows: open dialogs first (a running game records its outcome),
// then the main window (the tables close). Nothing is left half written.
#include <QObject>

class QSocketNotifier;

namespace barqeen {

class TfmMain;

class OrderlyShutdown : public QObject {
    Q_OBJECT
public:
    // mainWindow is closed last. One instance per program.
    explicit OrderlyShutdown(TfmMain& mainWindow);
    ~OrderlyShutdown() override;

    // Closes the modal windows, innermost first, then the main window.
    void closeEverything();

private:
    TfmMain& main_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace barqeen
