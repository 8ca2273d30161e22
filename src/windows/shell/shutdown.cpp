#include "windows/shell/shutdown.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace barqeen {
namespace {

int signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte down a socket, read by the event loop.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

OrderlyShutdown::OrderlyShutdown()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        stopAsked_ = true;
        closeEverything();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

OrderlyShutdown::~OrderlyShutdown()
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, SIG_DFL);
    for (int& end : signalPipe)
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
}

void OrderlyShutdown::setMainWindow(QWidget* mainWindow, std::function<void()> closeWithoutQuestions)
{
    main_ = mainWindow;
    closeWithoutQuestions_ = std::move(closeWithoutQuestions);
    if (boxCloser_ && main_) {
        boxCloser_->stop();
        closeEverything();
    }
}

void OrderlyShutdown::closeModalWindows()
{
    // Each modal window (a message box, a prompt, the game) closes as its close button would.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == main_)
            break;
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            modal->hide();
    }
}

void OrderlyShutdown::closeEverything()
{
    closeModalWindows();
    if (main_) {
        closeWithoutQuestions_();  // nobody may be there to answer
        return;
    }
    // Still starting: boxes the start-up shows after this are closed as they come.
    if (!boxCloser_) {
        boxCloser_ = new QTimer(this);
        connect(boxCloser_, &QTimer::timeout, this, [this] { closeModalWindows(); });
        boxCloser_->start(20);
    }
}

}  // namespace barqeen
