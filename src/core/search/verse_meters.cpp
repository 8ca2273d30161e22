#include "core/search/verse_meters.h"

#include <algorithm>
#include <thread>
#include <unordered_set>

namespace barqeen {

VerseMeters::VerseMeters(Table& poem, std::string tablePath, std::string keptPath)
    : poem_(poem), tablePath_(std::move(tablePath)), keptPath_(std::move(keptPath))
{
    observer_ = poem_.addObserver([this](const TableEvent& e) { noticed(e); });
}

VerseMeters::~VerseMeters()
{
    poem_.removeObserver(observer_);
}

void VerseMeters::open()
{
    keyColumn_ = poem_.field("TextID").column();
    textColumn_ = poem_.field("Text").column();
    MeterFile file;
    keptState_ = ReadMeterFile(keptPath_, file);
    keptFromThisTable_ = keptState_ == MeterFileState::Read && file.table == IdentityOf(tablePath_);
    opened_ = true;
    plan(std::move(file.meters));
    // A file that was not ours to read, or made from another table file, is written anew.
    changed_ = changed_ || !keptFromThisTable_;
}

// Every verse of the table, with the meter kept for it where its text still hashes the same.
void VerseMeters::plan(std::vector<KeptMeter> kept)
{
    const size_t keptCount = kept.size();
    meters_.clear();
    toScan_.clear();
    notScanned_ = workSize_ = 0;
    if (!poem_.active())
        return;
    const int rows = poem_.rowCount();
    // The texts hashed on two threads: the table does not change while this runs on its thread.
    std::vector<uint64_t> hashes(static_cast<size_t>(rows));
    auto hashRows = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            hashes[size_t(i)] = Hash64(poem_.rowAt(i).cells[size_t(textColumn_)].text());
    };
    std::thread other(hashRows, rows / 2, rows);
    hashRows(0, rows / 2);
    other.join();
    meters_.reserve(size_t(rows));
    size_t j = 0, reused = 0;
    for (int i = 0; i < rows; ++i) {
        const int64_t key = poem_.rowAt(i).cells[size_t(keyColumn_)].integer();
        const uint64_t hash = hashes[size_t(i)];
        while (j < kept.size() && kept[j].key < key)
            ++j;
        if (j < kept.size() && kept[j].key == key && kept[j].textHash == hash && kept[j].meter.known()) {
            meters_.push_back(kept[j]);
            ++reused;
        } else {
            meters_.push_back({key, 0, VerseMeter{}});
            toScan_.push_back(key);
            ++notScanned_;
        }
    }
    workSize_ = notScanned_;
    changed_ = reused != keptCount || notScanned_ > 0;
}

void VerseMeters::noticed(const TableEvent& e)
{
    if (!opened_)
        return;
    switch (e.kind) {
    case TableEvent::RowChanged:
    case TableEvent::RowAboutToBeRemoved:  // removed, or hidden by the filter after an edit
        if (e.position >= 0 && poem_.keyField()) {
            const Value key = poem_.valueAt(e.position, *poem_.keyField());
            if (key.isInteger())
                rescan(key.integer());
        }
        takeNewRows();
        break;
    case TableEvent::RowInserted:
    case TableEvent::StateChanged:
        takeNewRows();
        break;
    case TableEvent::AboutToReset:
        before_ = RowsOutline::of(poem_);
        break;
    case TableEvent::Reset: {
        // A reset comes with every change of the filter (the same rows), with rows added at
        // the end at once (an import), and when the table is read anew.
        if (!poem_.active())
            break;
        if (before_.stillLeads(poem_)) {
            takeNewRows();
        } else {
            std::vector<KeptMeter> known;
            for (const KeptMeter& m : meters_)
                if (m.meter.known())
                    known.push_back(m);
            plan(std::move(known));
            changed_ = true;
            queued();
        }
        break;
    }
    default:
        break;
    }
}

// Rows added since carry keys above every key seen.
void VerseMeters::takeNewRows()
{
    if (!poem_.active() || poem_.rowCount() == 0)
        return;
    const int64_t seen = meters_.empty() ? 0 : meters_.back().key;
    int first = poem_.rowCount();
    while (first > 0 && poem_.rowAt(first - 1).cells[size_t(keyColumn_)].integer() > seen)
        --first;
    if (first == poem_.rowCount())
        return;
    if (notScanned_ == 0)
        workSize_ = 0;
    for (int i = first; i < poem_.rowCount(); ++i) {
        const int64_t key = poem_.rowAt(i).cells[size_t(keyColumn_)].integer();
        meters_.push_back({key, 0, VerseMeter{}});
        toScan_.push_back(key);
        ++notScanned_;
        ++workSize_;
    }
    changed_ = true;
    queued();
}

void VerseMeters::rescan(int64_t key)
{
    KeptMeter* m = find(key);
    if (!m)
        return;
    editedAt_[key] = ++serial_;
    if (m->meter.known()) {
        if (notScanned_ == 0)
            workSize_ = 0;
        m->meter = VerseMeter{};
        ++notScanned_;
        ++workSize_;
        changed_ = true;
    }
    toScan_.push_back(key);
    queued();
}

void VerseMeters::queued()
{
    if (wakeUp_)
        wakeUp_();
}

KeptMeter* VerseMeters::find(int64_t key)
{
    const auto it = std::lower_bound(meters_.begin(), meters_.end(), key,
                                     [](const KeptMeter& m, int64_t k) { return m.key < k; });
    return it != meters_.end() && it->key == key ? &*it : nullptr;
}

const KeptMeter* VerseMeters::find(int64_t key) const
{
    return const_cast<VerseMeters*>(this)->find(key);
}

VerseMeter VerseMeters::meterOf(int64_t key) const
{
    const KeptMeter* m = find(key);
    return m ? m->meter : VerseMeter{};
}

double VerseMeters::progress() const
{
    if (notScanned_ == 0 || workSize_ == 0)
        return 1.0;
    return 1.0 - double(notScanned_) / double(std::max(workSize_, notScanned_));
}

// ---------------------------------------------------------------- scanning

VerseMeters::Batch VerseMeters::takeBatch(size_t count)
{
    Batch batch;
    batch.serial = serial_;
    std::unordered_set<int64_t> taken;
    while (!toScan_.empty() && batch.jobs.size() < count) {
        const int64_t key = toScan_.front();
        toScan_.pop_front();
        KeptMeter* m = find(key);
        if (!m || m->meter.known() || !taken.insert(key).second)
            continue;  // scanned already, or asked for twice
        const int row = poem_.active() ? poem_.findRowByKey(key) : -1;
        if (row < 0) {  // removed from the table: forgotten
            meters_.erase(meters_.begin() + (m - meters_.data()));
            --notScanned_;
            changed_ = true;
            continue;
        }
        batch.jobs.push_back({key, std::string(poem_.rowAt(row).cells[size_t(textColumn_)].text())});
    }
    return batch;
}

std::vector<VerseMeters::Scanned> VerseMeters::Scan(const Batch& batch)
{
    std::vector<Scanned> out;
    out.reserve(batch.jobs.size());
    for (const Job& job : batch.jobs)
        out.push_back({job.key, Hash64(job.text), VerseMeterOf(job.text)});
    return out;
}

void VerseMeters::apply(const Batch& batch, const std::vector<Scanned>& scanned)
{
    for (const Scanned& s : scanned) {
        KeptMeter* m = find(s.key);
        if (!m || m->meter.known())
            continue;
        // Changed after its text was taken: its next scan, already asked for, is the one to keep.
        if (const auto edit = editedAt_.find(s.key); edit != editedAt_.end() && edit->second > batch.serial)
            continue;
        m->textHash = s.textHash;
        m->meter = s.meter;
        --notScanned_;
        changed_ = true;
    }
}

void VerseMeters::scanAll(unsigned threads, const std::function<void(double)>& progress)
{
    threads = std::max(1u, threads);
    for (;;) {
        std::vector<Batch> batches;
        for (unsigned t = 0; t < threads; ++t) {
            Batch b = takeBatch(1024);
            if (b.jobs.empty())
                break;
            batches.push_back(std::move(b));
        }
        if (batches.empty())
            break;
        std::vector<std::vector<Scanned>> results(batches.size());
        std::vector<std::thread> others;
        for (size_t b = 1; b < batches.size(); ++b)
            others.emplace_back([&, b] { results[b] = Scan(batches[b]); });
        results[0] = Scan(batches[0]);
        for (std::thread& t : others)
            t.join();
        for (size_t b = 0; b < batches.size(); ++b)
            apply(batches[b], results[b]);
        if (progress)
            progress(this->progress());
    }
}

// ---------------------------------------------------------------- the kept file

bool VerseMeters::save()
{
    if (!changed_ || !opened_)
        return true;
    MeterFile file;
    file.table = IdentityOf(tablePath_);
    file.meters.reserve(meters_.size());
    const bool checkRows = poem_.active();
    for (const KeptMeter& m : meters_)
        if (m.meter.known() && (!checkRows || poem_.findRowByKey(m.key) >= 0))
            file.meters.push_back(m);
    if (!WriteMeterFile(keptPath_, file))
        return false;
    changed_ = false;
    return true;
}

}  // namespace barqeen
