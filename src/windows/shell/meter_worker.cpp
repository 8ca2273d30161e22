#include "windows/shell/meter_worker.h"

#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace barqeen {
namespace {

constexpr size_t kBatch = 512;  // about 25 ms of scanning: progress shows often, a close waits little
// A long first scan is written down now and then, so that a program stopped half way keeps most.
constexpr size_t kSaveEvery = 200'000;
// Work this large (a first scan, an import) is written when done; a few edited verses (a memo
// being typed in is scanned again at every key) wait for the close.
constexpr size_t kSaveWhenDone = 10'000;
constexpr size_t kScanAtClose = 1'000;  // about 25 ms on two cores

}  // namespace

MeterWorker::MeterWorker(VerseMeters& meters, QObject* parent) : QObject(parent), meters_(meters)
{
    threads_ = std::clamp(QThread::idealThreadCount(), 1, 8);
    // Asked from inside the table's notices: the batch is taken once the change is done.
    meters_.setWakeUp([this] {
        if (!started_ || finished_ || launchAsked_)
            return;
        launchAsked_ = true;
        QTimer::singleShot(0, this, [this] {
            launchAsked_ = false;
            launch();
            emit progressed();  // no longer complete: whoever offers the meter says so
        });
    });
}

MeterWorker::~MeterWorker()
{
    finished_ = true;
    for (Running& r : running_)
        r.watcher->waitForFinished();
    meters_.setWakeUp({});
}

void MeterWorker::start()
{
    if (started_)
        return;
    meters_.open();
    started_ = true;
    emit progressed();
    launch();
    if (complete())
        saveIfWorthIt(true);  // a kept file that was damaged or made from other rows is written anew
}

int MeterWorker::percent() const
{
    return std::clamp(int(meters_.progress() * 100), 0, complete() ? 100 : 99);
}

void MeterWorker::hold(bool held)
{
    held_ = held;
    launch();
}

void MeterWorker::launch()
{
    if (!started_ || finished_ || held_)
        return;
    while (int(running_.size()) < threads_) {
        VerseMeters::Batch batch = meters_.takeBatch(kBatch);
        if (batch.jobs.empty())
            break;
        Running& r = running_.emplace_back();
        r.batch = std::move(batch);
        r.watcher = new QFutureWatcher<std::vector<VerseMeters::Scanned>>(this);
        Running* self = &r;
        connect(r.watcher, &QFutureWatcherBase::finished, this, [this, self] { done(self); });
        r.watcher->setFuture(QtConcurrent::run([self] { return VerseMeters::Scan(self->batch); }));
    }
}

void MeterWorker::done(Running* running)
{
    if (finished_)
        return;
    meters_.apply(running->batch, running->watcher->result());
    scannedSinceSave_ += running->batch.jobs.size();
    running->watcher->deleteLater();
    running_.remove_if([running](const Running& r) { return &r == running; });
    launch();
    saveIfWorthIt(false);
    emit progressed();
}

void MeterWorker::saveIfWorthIt(bool atEnd)
{
    if (atEnd || (complete() && scannedSinceSave_ >= kSaveWhenDone) || scannedSinceSave_ >= kSaveEvery) {
        if (meters_.save())
            scannedSinceSave_ = 0;
    }
}

void MeterWorker::finish()
{
    if (!started_ || finished_)
        return;
    for (Running& r : running_) {
        r.watcher->waitForFinished();
        meters_.apply(r.batch, r.watcher->result());
    }
    finished_ = true;
    running_.clear();
    // A few verses edited just before the close are scanned now (a few milliseconds), so that the
    // next start finds every meter kept; a large remainder waits for the next start.
    if (meters_.notScanned() <= kScanAtClose)
        meters_.scanAll(unsigned(threads_));
    meters_.save();
}

}  // namespace barqeen
