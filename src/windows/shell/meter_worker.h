#pragma once
// The meters of all verses, worked out after the tables open: the verses the kept file does not
// answer for are scanned on other threads (one batch a core, QtConcurrent), the windows going on
// meanwhile, and the file is written again once they are known. A verse edited later is scanned
// again the same way. Whoever offers the search by meter follows `progressed`.
#include "core/search/verse_meters.h"

#include <QFutureWatcher>
#include <QObject>

#include <list>

namespace barqeen {

class MeterWorker : public QObject {
    Q_OBJECT
public:
    explicit MeterWorker(VerseMeters& meters, QObject* parent = nullptr);
    ~MeterWorker() override;

    // Reads the kept file, then scans what is left. Call once the verse table is open.
    void start();
    // Waits for the batches under way, then writes what is known (at close).
    void finish();

    bool started() const { return started_; }
    // Every verse's meter is known: a search by meter answers from them.
    bool complete() const { return started_ && meters_.complete() && running_.empty(); }
    int percent() const;

    // Threads that scan at once (the cores by default).
    void setThreads(int threads) { threads_ = threads > 0 ? threads : 1; }
    // Holds back the batches not yet begun, as a machine too busy to scan would (a test seam).
    void hold(bool held);

signals:
    // After each batch, and when everything is known.
    void progressed();

private:
    struct Running {
        VerseMeters::Batch batch;
        QFutureWatcher<std::vector<VerseMeters::Scanned>>* watcher;  // a child: deleted later, not in its own signal
    };
    void launch();
    void done(Running* running);
    void saveIfWorthIt(bool atEnd);

    VerseMeters& meters_;
    std::list<Running> running_;
    int threads_ = 2;
    bool started_ = false;
    bool finished_ = false;
    bool launchAsked_ = false;
    bool held_ = false;
    size_t scannedSinceSave_ = 0;
};

}  // namespace barqeen
