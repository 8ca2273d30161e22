// The window first, the tables behind it: on a collection of millions of verses the tables take
// seconds to read, and the window is up and answering meanwhile. Nothing that needs a table is
// reached before they are open: the buttons wait, the verse table's hook is set afterwards, and
// a close waits for the reading to end before it closes the files.
#include "windows/main/main_window.h"

#include "windows/shell/guard.h"
#include "windows/shell/meter_worker.h"

#include <QLabel>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace barqeen {

namespace {

const QString kOpening = QStringLiteral("جارٍ فتح الجداول…");
const QString kOpeningWithClick = QStringLiteral("جارٍ فتح الجداول… تُفتح النافذة حين تجهز");
// Below this the opening is a moment: no word about it, nothing that flickers.
constexpr int kQuietOpeningMs = 300;

}  // namespace

void TfmMain::buildOpeningLabel()
{
    laOpening = new QLabel(this);
    laOpening->setObjectName(QStringLiteral("laOpening"));
    laOpening->setAlignment(Qt::AlignCenter);
    laOpening->setGeometry(183, 440, 300, 16);  // under «خروج», over the credit line
    laOpening->setStyleSheet(QStringLiteral("background: rgba(255, 255, 224, 210); color: #402000;"));
    laOpening->hide();
}

std::exception_ptr TfmMain::openTables()
{
    try {
        store_.OpenTables();
        return {};
    } catch (...) {
        return std::current_exception();
    }
}

void TfmMain::openTablesBehind(std::function<void()> beforeOpen)
{
    if (tablesState_ != TablesState::Opening || opening_.isRunning())
        return;
    connect(&opening_, &QFutureWatcher<std::exception_ptr>::finished, this,
            [this] { tablesOpened(opening_.result()); });
    opening_.setFuture(QtConcurrent::run([this, beforeOpen = std::move(beforeOpen)] {
        if (beforeOpen)
            beforeOpen();
        return openTables();
    }));
    QTimer::singleShot(kQuietOpeningMs, this, [this] {
        if (tablesReady() || closed_)
            return;
        laOpening->setText(waitingClick_ ? kOpeningWithClick : kOpening);
        laOpening->show();
        setCursor(Qt::BusyCursor);
    });
}

void TfmMain::tablesOpened(std::exception_ptr failure)
{
    if (closed_ || tablesReady())
        return;
    tablesState_ = TablesState::Ready;
    laOpening->hide();
    unsetCursor();
    // Runs at every move of the verse table from now on; it acts once the verse window exists.
    store_.cdsPoem.setAfterScroll([this] { runGuarded([this] { cdsPoemAfterScroll(); }); });
    if (failure) {
        runGuarded([&] { std::rethrow_exception(failure); });
    } else {
        // The meters of the verses once the window is up: read from their file, the rest scanned.
        QTimer::singleShot(0, meterWorker_.get(), [this] {
            if (cdsPoem().active() && !closed_)
                runGuarded([this] { meterWorker_->start(); });
        });
        if (const std::string notice = store_.openingNotice(); !notice.empty())
            Dialogs::warning(QString::fromStdString(notice));
        showVersion();
    }
    std::vector<std::function<void()>> actions = std::move(whenReady_);
    if (waitingClick_)
        actions.push_back(std::move(waitingClick_));
    waitingClick_ = nullptr;
    for (const auto& action : actions) {
        if (closed_)
            return;
        runGuarded(action);
    }
}

void TfmMain::whenTablesReady(std::function<void()> action)
{
    if (tablesReady())
        runGuarded(action);
    else
        whenReady_.push_back(std::move(action));
}

void TfmMain::clickWhenReady(void (TfmMain::*click)())
{
    // «خروج» needs no table: the close waits for the reading itself.
    if (tablesReady() || click == &TfmMain::imExitClick) {
        (this->*click)();
        return;
    }
    // A person who clicks twice wants the second: only the last click waits.
    waitingClick_ = [this, click] { (this->*click)(); };
    if (laOpening->isVisible())
        laOpening->setText(kOpeningWithClick);
}

}  // namespace barqeen
