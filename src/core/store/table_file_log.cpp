// The table file's write-ahead log: what a crash left beside the file is looked at before SQLite
// reads it, the log's record is kept up to date after every commit and fold-in, and the log is
// folded into the file from the store's folding thread.
#include "core/store/table_file.h"

#include "core/store/file_messages.h"
#include "core/store/kept_names.h"
#include "core/store/log_check.h"

#include <sqlite3.h>

#include <filesystem>

namespace barqeen {

using file_messages::isolated;

namespace {

sqlite3_file* fileOf(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file);
    return file;
}

// Whether every page of the file at path reads as recorded or as one of the log's frames, read through a connection of
// its own that leaves the log alone (immutable: no lock, no log read).
bool fileMatches(const std::string& path, const RecordedFile& record, const std::vector<LoggedPage>& logged)
{
    sqlite3* db = nullptr;
    const std::string uri = uriPath(path) + "?immutable=1";
    const bool same = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK &&
                      fileOf(db) && record.matches(fileOf(db), logged);
    sqlite3_close(db);
    return same;
}

// SQLite starts a log's next round only once every frame of the last one is in the file, and adds
// one to the first salt of the log's header each time (after another tool's truncating checkpoint
// and a write of its own; or the program's own next round, when the record that reached the disk
// before a power cut was older). A log whose first salt is a few rounds on from the recorded one
// is the file's own: the recorded pages no longer describe the file, which holds that round now,
// and the log is read as SQLite reads it. An older round of this file's log is behind; another
// file's log has salts of its own (one chance in 4 million of falling within the rounds allowed).
// The header's checkpoint sequence is no help: each connection counts it from what it read itself.
bool followsRecordedRound(const log_check::LogScan& log, const RecordedFile& record)
{
    constexpr uint32_t kMostRounds = 1024;
    const LogProgress& was = record.progress;
    const uint32_t rounds = log.salt1 - was.salt1;
    return log.present && (was.salt1 | was.salt2) != 0 && log.pageSize == record.pageSize && rounds >= 1 &&
           rounds <= kMostRounds;
}

}  // namespace

void TableFile::checkLeftLog()
{
    const std::string logPath = path_ + "-wal";
    const log_check::LogScan log = log_check::scan(logPath);
    const std::optional<RecordedFile> record = RecordedFile::load(path_);
    // A later round than the recorded one: every commit the program recorded is in the file, and
    // none of the program's commits since was recorded (a change cut short in it was never
    // reported done). The log is read as SQLite reads it; nothing is said.
    if (record && followsRecordedRound(log, *record))
        return;
    const LogProgress was = record ? record->progress : LogProgress{};
    const bool unfolded = was.committed > was.folded;  // commits the file alone did not hold
    const bool sameRound = log.present && log.salt1 == was.salt1 && log.salt2 == was.salt2;
    // A page that fails its checksum after the commits the program recorded is a change cut short
    // by the stop (SQLite writes a frame's header and its page apart): nothing committed is in it.
    // Only without a record is every damage told, since then nothing says what was committed.
    const bool lostCommits = !record ? true : sameRound ? log.committedFrames < was.committed : unfolded;
    const std::string file = isolated(path_);
    // A fold-in writes only the log's frames into the file: a page that reads neither as recorded
    // nor as one of them means another file was put in this one's place.
    // A file that can only be read is opened without the log that must not be applied (its log
    // index left unread too), and nothing beside it is moved or copied: it is only named.
    const auto setAside = [&] {
        if (!readOnly())
            return "نُقل السجلّ إلى " + keepLogAside(true) + "، وفُتح الملف كما هو.";
        moveTo(Mode::ReadAsItStands);
        return "بقي السجلّ " + isolated(logPath) + " في مكانه لأن الملف للقراءة فقط، وفُتح الملف كما هو دونه.";
    };
    if (log.present && record && !fileMatches(path_, *record, log.frames)) {
        logNotice_ = "وُجد بجانب ملف الجدول " + file +
                     " سجلّ تغييرات لا يخصه (بقي من تشغيل سابق توقف فجأة، ثم وُضع ملف آخر مكان الملف)، فلم يُطبَّق عليه. " +
                     setAside();
    } else if (log.present && unfolded && !sameRound) {
        // Not the log the program was writing: applied, it could put older pages over newer ones.
        logNotice_ = "السجلّ الذي وُجد بجانب ملف الجدول " + file +
                     " ليس سجلّ التغييرات الذي كان البرنامج يكتبه حين توقف فجأة، فلم يُطبَّق عليه، وقد تنقص الجدول آخر تغييراته قبل التوقف. " +
                     setAside();
    } else if ((!log.damage.empty() && lostCommits) || (sameRound && log.committedFrames < was.committed)) {
        // SQLite reads what is sound of it; a copy keeps the rest.
        const std::string damage =
            !log.damage.empty() ? log.damage
                                : "سجلّه أقصر مما كتبه البرنامج: بقي فيه " + std::to_string(log.committedFrames) + " من " +
                                      std::to_string(was.committed) + " صفحة محفوظة";
        logNotice_ = "سجلّ تغييرات ملف الجدول " + file + " تالف (" + damage +
                     ")، فقد تنقص الجدول آخر تغييراته قبل توقف البرنامج." +
                     (readOnly() ? std::string() : " حُفظت نسخة من السجلّ في " + keepLogAside(false) + ".");
    } else if (!log.present && unfolded && fileMatches(path_, *record, {})) {
        // The file is as the program last left it, without the commits only the log held.
        logNotice_ = "سجلّ تغييرات ملف الجدول " + file + " غير موجود بجانبه أو فارغ " + isolated("(" + logPath + ")") +
                     "، وكان فيه ما حُفظ من آخر التغييرات قبل توقف البرنامج ولم يُدمج في الملف بعد، فقد تنقص الجدول هذه التغييرات.";
    }
}

std::string TableFile::keepLogAside(bool move)
{
    namespace fs = std::filesystem;
    const std::string kept = keptName(path_, "-wal-kept-", "");
    std::error_code ec;
    if (move) {
        fs::rename(path_ + "-wal", kept, ec);
        if (!ec)
            std::remove((path_ + "-shm").c_str());
    } else {
        fs::copy_file(path_ + "-wal", kept, ec);
    }
    return isolated(kept) + (ec ? " " + isolated("(" + ec.message() + ")") : "");
}

void TableFile::startLogRecord()
{
    if (readOnly()) {
        logRecord_.reset();
        return;
    }
    // Its descriptor first, then the record is made anew. It starts with no progress: a log the
    // program did not see written gives no ground to tell the user later that changes went missing.
    logRecord_.reset();
    logRecord_ = std::make_unique<LogRecord>(path_, fileOf(db_));
}

int TableFile::onLogCommit(void* file, sqlite3*, const char*, int frames)
{
    if (auto* self = static_cast<TableFile*>(file); self->logRecord_)
        self->logRecord_->committed(uint32_t(frames));
    return SQLITE_OK;
}

void TableFile::foldLog() noexcept
{
    std::lock_guard hold(connection_);
    if (!db_ || readOnly() || inBatch() || place() != Place::Ours || connectionStale())
        return;
    const std::vector<uint32_t> pages = log_check::loggedPages(path_ + "-wal");
    if (logRecord_)
        logRecord_->beforeFoldIn();
    int logFrames = 0, folded = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, &logFrames, &folded);
    if (rc == SQLITE_OK) {
        if (logRecord_)
            logRecord_->folded(fileOf(db_), pages, uint32_t(std::max(folded, 0)));
        foldProblem_.clear();
        foldError_ = 0;
    } else if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
        // A fold-in cut short (a full disk) leaves some of the log's pages in the file and the
        // file perhaps shorter than its header says; the log still holds them all and is read
        // with the file, as SQLite leaves it. It is tried again after the next commit and at close.
        foldProblem_ = sqlite3_errmsg(db_);
        foldError_ = sqlite3_system_errno(db_);
    }
    // The program's own fold-in, whole or cut short, moved the file's length and time: the file is
    // still the one the program left.
    rememberIdentity();
}

}  // namespace barqeen
