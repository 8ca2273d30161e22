#pragma once
// The meters of all verses of the verse table, for the search by meter: read from the file kept
// beside the tables where it still holds a verse's text, the others scanned on other threads and
// the file written again. The table's notices keep it current: a verse changed or added is
// scanned again, a verse removed is forgotten.
//
// The table is read only on the thread that owns it: the verses to scan are handed out in
// batches of their texts (takeBatch), scanned on any thread (Scan), and their meters taken back
// on the owning thread (apply), where a verse changed meanwhile is left for its next scan.
#include "core/search/meter_file.h"
#include "core/search/verse_meter.h"
#include "core/store/rows_outline.h"
#include "core/store/table.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace barqeen {

class VerseMeters {
public:
    // poem: the verse table (TextID, Text); tablePath: its file; keptPath: the meters' file.
    VerseMeters(Table& poem, std::string tablePath, std::string keptPath);
    ~VerseMeters();
    VerseMeters(const VerseMeters&) = delete;
    VerseMeters& operator=(const VerseMeters&) = delete;

    // Once the table is open: reads the kept file and lists the verses it does not answer for.
    void open();
    // What open() found in the kept file.
    MeterFileState keptFileState() const { return keptState_; }
    bool keptFromThisTable() const { return keptFromThisTable_; }

    struct Job {
        int64_t key;
        std::string text;
    };
    struct Batch {
        uint64_t serial = 0;  // the edits seen when it was taken
        std::vector<Job> jobs;
    };
    struct Scanned {
        int64_t key;
        uint64_t textHash;
        VerseMeter meter;
    };
    // Up to `count` verses still to scan, with their texts; empty when none is left.
    Batch takeBatch(size_t count);
    // Any thread.
    static std::vector<Scanned> Scan(const Batch& batch);
    void apply(const Batch& batch, const std::vector<Scanned>& scanned);
    // Scans all that is left here and now, on `threads` threads; progress is told between batches.
    void scanAll(unsigned threads, const std::function<void(double)>& progress = {});

    // Called when verses to scan appear (after an edit, an import): the one who scans wakes up.
    // It is called inside the table's notices: act later, not in it.
    void setWakeUp(std::function<void()> wakeUp) { wakeUp_ = std::move(wakeUp); }

    bool complete() const { return notScanned_ == 0 && opened_; }
    size_t notScanned() const { return notScanned_; }
    // The share of the work since the last time everything was known, 0 … 1.
    double progress() const;

    // The meter of the verse with this key; not known() while it is still to scan.
    VerseMeter meterOf(int64_t key) const;
    // Every verse of the table, by key, ascending.
    const std::vector<KeptMeter>& all() const { return meters_; }

    // Writes the kept file when something changed since it was read or written. False when it
    // could not be written (the meters stay in memory; the next start scans again).
    bool save();

private:
    void noticed(const TableEvent& event);
    void plan(std::vector<KeptMeter> kept);
    void rescan(int64_t key);
    void takeNewRows();
    void queued();
    KeptMeter* find(int64_t key);
    const KeptMeter* find(int64_t key) const;

    Table& poem_;
    std::string tablePath_, keptPath_;
    int keyColumn_ = -1, textColumn_ = -1;
    int observer_ = 0;
    bool opened_ = false;
    MeterFileState keptState_ = MeterFileState::Missing;
    bool keptFromThisTable_ = false;

    std::vector<KeptMeter> meters_;  // one a verse, by key
    std::deque<int64_t> toScan_;
    size_t notScanned_ = 0;
    size_t workSize_ = 0;  // the verses to scan since everything was last known
    bool changed_ = false;  // since the kept file was read or written
    uint64_t serial_ = 0;
    std::unordered_map<int64_t, uint64_t> editedAt_;  // a verse's last change, by serial

    RowsOutline before_;  // the rows before a reset notice
    std::function<void()> wakeUp_;
};

}  // namespace barqeen
