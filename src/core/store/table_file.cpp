#include "core/store/table_file.h"

#include "core/common/error.h"
#include "core/store/datetime.h"
#include "core/store/file_messages.h"
#include "core/store/kept_names.h"
#include "core/store/sqlite_calls.h"
#include "core/store/table_file_read.h"
#include "core/text/codepage.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace barqeen {

using namespace file_messages;
using sqlite::exec;
using sqlite::quoted;
using sqlite::Statement;
using table_file_read::kApplicationId;
using table_file_read::kFormatVersion;
using table_file_read::kLargestKey;

namespace {

// A statement touched another number of rows than the change means: the file no longer holds
// what the program wrote there.
struct ForeignChange {};

std::string folderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string columnList(const std::vector<FieldDef>& defs)
{
    std::string list;
    for (size_t i = 0; i < defs.size(); ++i)
        list += (i ? ", " : "") + quoted(defs[i].name);
    return list;
}

void bindValue(sqlite3_stmt* stmt, int slot, const FieldDef& def, const Value& v)
{
    if (v.isNull()) {
        sqlite3_bind_null(stmt, slot);
    } else if (def.type == FieldType::DateTime) {
        const std::string text = datetime::toText(v.integer());
        sqlite3_bind_text(stmt, slot, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    } else if (v.isInteger()) {
        sqlite3_bind_int64(stmt, slot, v.integer());
    } else {
        const std::string text = codepage::toUtf8(v.text());
        sqlite3_bind_text(stmt, slot, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    }
}

// Steps a write that must touch exactly one row.
void stepOneRow(sqlite3* db, sqlite3_stmt* stmt)
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_CONSTRAINT)
        throw ForeignChange{};  // the key is already taken in the file
    if (rc != SQLITE_DONE)
        throw Error(sqlite3_errmsg(db));
    if (sqlite3_changes(db) != 1)
        throw ForeignChange{};
}

// A new file with the table's definitions and rows, made beside the target and renamed over it.
void writeWhole(const std::string& path, const Table& table, const std::string& kind)
{
    const std::vector<FieldDef> defs = table.storedFieldDefs();
    if (!table.indexDef())
        throw Error("A table file needs a key index: " + kind);
    const std::string temp = path + ".new";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    try {
        if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            throw Error(db ? sqlite3_errmsg(db) : "out of memory");
        exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = FULL;");
        exec(db, "PRAGMA application_id = " + std::to_string(kApplicationId) +
                     "; PRAGMA user_version = " + std::to_string(kFormatVersion) + ";");
        exec(db, "BEGIN");
        for (const std::string& statement : table_file_read::layoutStatements(defs))
            exec(db, statement);
        {
            Statement s(db, "INSERT INTO barqeen_table VALUES (?, ?)");
            sqlite3_bind_text(s.get(), 1, kind.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(s.get(), 2, table.nextKey());
            s.step(db);
        }
        for (size_t i = 0; i < defs.size(); ++i) {
            Statement s(db, "INSERT INTO barqeen_fields VALUES (?, ?, ?, ?, ?)");
            sqlite3_bind_int(s.get(), 1, int(i));
            sqlite3_bind_text(s.get(), 2, defs[i].name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s.get(), 3, fieldTypeName(defs[i].type).data(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(s.get(), 4, defs[i].size);
            sqlite3_bind_int(s.get(), 5, defs[i].required);
            s.step(db);
        }
        {
            const IndexDef& index = *table.indexDef();
            Statement s(db, "INSERT INTO barqeen_index VALUES (?, ?, ?, ?)");
            sqlite3_bind_text(s.get(), 1, index.name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s.get(), 2, index.field.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(s.get(), 3, index.primary);
            sqlite3_bind_int(s.get(), 4, index.unique);
            s.step(db);
        }
        {
            std::string sql = "INSERT INTO rows (" + columnList(defs) + ") VALUES (";
            for (size_t i = 0; i < defs.size(); ++i)
                sql += i ? ", ?" : "?";
            Statement s(db, sql + ")");
            for (int r = 0; r < table.rowCount(); ++r) {
                const Row& row = table.rowAt(r);
                for (size_t i = 0; i < defs.size(); ++i)
                    bindValue(s.get(), int(i) + 1, defs[i], row.cells[i]);
                s.step(db);
                sqlite3_reset(s.get());
            }
        }
        exec(db, "COMMIT");
        // The file is born in write-ahead-log mode, so opening it never has to write.
        exec(db, "PRAGMA journal_mode = WAL");
        if (sqlite3_close(db) != SQLITE_OK)
            throw Error(sqlite3_errmsg(db));
        db = nullptr;
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec)
            throw Error(ec.message());
        // Make the rename itself durable.
        const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    } catch (const Error& e) {
        if (db)
            sqlite3_close(db);
        for (const char* end : {"", "-wal", "-shm", "-journal"})
            std::remove((temp + end).c_str());
        uncreatable(path, e.what());
    }
}

}  // namespace

void TableFile::write(const std::string& path, const Table& table, const std::string& kind)
{
    writeWhole(path, table, kind);
}

TableFile::TableFile(std::string path, Table& table, std::string kind)
    : path_(std::move(path)), table_(table), kind_(std::move(kind)), openedPath_(path_)
{
}

TableFile::~TableFile()
{
    std::lock_guard hold(connection_);
    if (!db_)
        return;
    // Left without a close (an error on the way): the log is folded in only into the file the
    // program left as it was.
    const Place where = place();
    disconnect(where == Place::Ours && !connectionStale());
    if (where == Place::Replaced)
        dropLog();
}

void TableFile::disconnect(bool checkpoint)
{
    for (sqlite3_stmt** s : {&insert_, &update_, &delete_, &counter_, &dataVersion_}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
    if (!db_)
        return;
    // The last connection to close folds the log into the file and removes it; another
    // connection still open (a reader) keeps it for itself. A fold-in that fails for want of room
    // is told; the log then stays, holding everything, and is read with the file next time.
    if (checkpoint && !readOnly()) {
        if (logRecord_)
            logRecord_->beforeFoldIn();
        const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            foldProblem_.clear();  // an idle fold-in that failed before is made good now
            foldError_ = 0;
        } else if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
            foldProblem_ = sqlite3_errmsg(db_);
            foldError_ = sqlite3_system_errno(db_);
        }
    }
    if (!checkpoint)
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
    // Closed with its log folded in, the file holds everything: the log's record has done its work.
    if (checkpoint && !readOnly() && !pathExists(path_ + "-wal")) {
        logRecord_.reset();
        LogRecord::forget(path_);
    }
    // A connection that only reads leaves the log files it made; they hold nothing.
    if (readOnly()) {
        struct stat st {};
        if (!hadLog_ && ::stat((path_ + "-wal").c_str(), &st) == 0 && st.st_size == 0)
            std::remove((path_ + "-wal").c_str());
        if (!hadIndex_)
            std::remove((path_ + "-shm").c_str());
    }
}

void TableFile::moveTo(Mode next)
{
    const auto givenUpMode = [](Mode m) { return m == Mode::WritingKept || m == Mode::Stopped; };
    // The moves a file makes: from Writing to ReadOnly (no right to write, found at opening) or to
    // ReadAsItStands (the log's index cannot be made: no room or no right); from ReadOnly to
    // ReadAsItStands; and from any of these, when the file is replaced or written by another
    // program, to WritingKept or Stopped. A file given up is never taken up again.
    [[maybe_unused]] const bool allowed =
        next == mode_ || (next != Mode::Writing && !givenUp() && (mode_ != Mode::ReadAsItStands || givenUpMode(next))) ||
        (mode_ == Mode::WritingKept && next == Mode::Stopped);
    assert(allowed);
    mode_ = next;
}

std::unique_ptr<TableFile> TableFile::open(const std::string& path, Table& table, const std::string& kind)
{
    std::unique_ptr<TableFile> file(new TableFile(path, table, kind));
    try {
        table_file_read::checkPlainFile(path);
    } catch (const Error& e) {
        unreadable(path, e.what());
    }
    // Without the right to write the file, or to make the log beside it, the table is only read.
    // A disk mounted read-only says so for the file and the folder alike: that is the reason given.
    const bool fileWritable = ::access(path.c_str(), W_OK) == 0;
    const int fileError = errno;
    if (!fileWritable || ::access(folderOf(path).c_str(), W_OK) != 0) {
        const int error = fileWritable ? errno : fileError;
        file->moveTo(Mode::ReadOnly);
        file->readOnlyReason_ = error == EROFS  ? writeReason(path, EROFS)
                                : !fileWritable ? "لا يسمح النظام بالكتابة في الملف"
                                                : "لا يسمح النظام بالكتابة في مجلده";
    }
    // A log left by a crash is applied only to the file it was written for, and only after what
    // is damaged in it is copied aside.
    file->checkLeftLog();
    const bool hadLog = file->hadLog_ = pathExists(path + "-wal");
    const bool hadIndex = file->hadIndex_ = pathExists(path + "-shm");
    // Nothing is written until the file is known to be sound: a refused file is closed without
    // a checkpoint, and the log files opening made beside it are removed again.
    const auto refuse = [&](const std::string& why) {
        file->disconnect(false);
        if (!hadLog)
            std::remove((path + "-wal").c_str());
        if (!hadIndex)
            std::remove((path + "-shm").c_str());
        unreadable(path, why);
    };
    std::vector<Row> rows;
    TextArena arena;
    try {
        table_file_read::checkLength(path);
        file->connectForReading();
        table_file_read::checkSchema(file->db_, table.storedFieldDefs());
        const int64_t nextKey = table_file_read::checkLayout(file->db_, table, kind);
        table_file_read::readRows(file->db_, table, nextKey, rows, arena);
        sqlite3_exec(file->db_, "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
        if (!file->readOnly()) {
            // Files written before the log was used change over once, after they were checked.
            exec(file->db_, "PRAGMA journal_mode = WAL");
            file->prepareStatements();
            file->rememberDataVersion();
        }
        // A sound log of the file's own, read with it through SQLite, cannot be folded in while
        // the file is read-only: the user is told it is there and matters.
        struct stat log {};
        if (file->mode_ == Mode::ReadOnly && file->logNotice_.empty() && hadLog &&
            ::stat((path + "-wal").c_str(), &log) == 0 && log.st_size > 0)
            file->logNotice_ = "قُرئ مع ملف الجدول " + isolated(path) + " سجلّ تغييراته " + isolated(path + "-wal") +
                               " الباقي من تشغيل سابق توقف فجأة، ولا يُدمج فيه ما دام الملف للقراءة فقط؛ لا تحذف السجلّ.";
        file->schemaVersion_ = sqlite::integerOf(file->db_, "PRAGMA schema_version");
        file->startLogRecord();
        file->rememberIdentity();
        table.load(std::move(rows), nextKey, std::move(arena));
    } catch (const Error& e) {
        refuse(e.what());
    } catch (const std::bad_alloc&) {
        rows = {};
        arena = {};
        refuse("لا تكفي الذاكرة لقراءة الملف");
    }
    table.setStorage(file.get());
    return file;
}

void TableFile::connectForReading()
{
    std::string detail;
    int error = 0;
    try {
        // Setting up the connection reads the file's schema already.
        connect();
        table_file_read::checkMarks(db_);
        return;
    } catch (const Error& e) {
        detail = e.what();
        // The log's index cannot be made beside the file (a full disk, a folder or file that
        // cannot be written): that is no damage. The file is read as it stands, and only read.
        const int code = sqlite3_errcode(db_) & 0xff;
        error = sqlite3_system_errno(db_);
        // A file known to be read-only whose log's index cannot be made or opened (a read-only
        // disk) is read as it stands too.
        const bool noRoomOrRight = code == SQLITE_FULL || code == SQLITE_READONLY ||
                                   (mode_ == Mode::ReadOnly && code == SQLITE_CANTOPEN) ||
                                   ((code == SQLITE_IOERR || code == SQLITE_CANTOPEN) &&
                                    (error == ENOSPC || error == EFBIG || error == EDQUOT || error == EROFS ||
                                     error == EACCES || error == EPERM));
        if (mode_ == Mode::ReadAsItStands || !noRoomOrRight)
            throw;
    }
    disconnect(false);
    if (!hadLog_)
        std::remove((path_ + "-wal").c_str());
    if (!hadIndex_)
        std::remove((path_ + "-shm").c_str());
    if (!readOnly())
        readOnlyReason_ = writeReason(path_, error) + " " + isolated("(" + detail + ")");
    if (struct stat log {}; ::stat((path_ + "-wal").c_str(), &log) == 0 && log.st_size > 0)
        readOnlyReason_ += "، ولم يُقرأ سجلّه " + isolated(path_ + "-wal") + " فقد تنقص الجدول آخر تغييراته";
    moveTo(Mode::ReadAsItStands);
    connect();
    table_file_read::checkMarks(db_);
}

void TableFile::connect()
{
    // One thread uses a table file at a time (the folding thread takes turns with the interface):
    // SQLite's own locking between threads is not needed.
    const int mode = readOnly() ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const std::string name = mode_ == Mode::ReadAsItStands ? uriPath(path_) + "?immutable=1" : path_;
    if (sqlite3_open_v2(name.c_str(), &db_, mode | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        throw Error(db_ ? sqlite3_errmsg(db_) : "out of memory");
    sqlite3_busy_timeout(db_, 2000);
    // Every commit reaches the disk before it is reported done. Reading a large table whole is
    // quicker through a memory map than through read() calls; the map is given up once the rows
    // are read (see open).
    exec(db_, "PRAGMA synchronous = FULL; PRAGMA mmap_size = 1073741824");
    // Every commit is noted in the log's record. This also stops SQLite folding the log in by
    // itself on the committing thread: the store's folding thread does it, and notes it.
    if (!readOnly())
        sqlite3_wal_hook(db_, &TableFile::onLogCommit, this);
}

void TableFile::prepareStatements()
{
    defs_ = table_.storedFieldDefs();
    const std::vector<FieldDef>& defs = defs_;
    const std::string key = table_.indexDef()->field;
    std::string insert = "INSERT INTO rows (" + columnList(defs) + ") VALUES (";
    std::string update = "UPDATE rows SET ";
    bool firstSet = true;
    for (size_t i = 0; i < defs.size(); ++i) {
        insert += i ? ", ?" : "?";
        if (defs[i].name != key) {
            update += (firstSet ? "" : ", ") + quoted(defs[i].name) + " = ?" + std::to_string(i + 1);
            firstSet = false;
        }
    }
    update += " WHERE " + quoted(key) + " = ?" + std::to_string(size_t(table_.keyField()->column()) + 1);
    const std::pair<sqlite3_stmt**, std::string> statements[] = {
        {&insert_, insert + ")"},
        {&update_, update},
        {&delete_, "DELETE FROM rows WHERE " + quoted(key) + " = ?"},
        // The counter is moved on only from the value the program last wrote.
        {&counter_, "UPDATE barqeen_table SET next_key = ?1 WHERE next_key = ?2"},
        {&dataVersion_, "PRAGMA data_version"},
    };
    for (const auto& [slot, sql] : statements)
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, slot, nullptr) != SQLITE_OK)
            throw Error(sqlite3_errmsg(db_));
}

int TableFile::systemError() const
{
    if (!db_)
        return 0;
    // Only a failed read or write leaves an error of the system's that belongs to this call.
    const int code = sqlite3_errcode(db_) & 0xff;
    if (code != SQLITE_IOERR && code != SQLITE_FULL && code != SQLITE_CANTOPEN)
        return 0;
    if (const int error = sqlite3_system_errno(db_))
        return error;
    if (code == SQLITE_FULL)
        return ENOSPC;
    // SQLite does not always keep the error of a write the file-size limit refused: a file that
    // one more page would take past the limit tells it.
    rlimit limit {};
    if (code == SQLITE_IOERR && ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        for (const std::string& file : {path_, path_ + "-wal"}) {
            struct stat st {};
            if (::stat(file.c_str(), &st) == 0 && rlim_t(st.st_size) + 65536 + 24 > limit.rlim_cur)
                return EFBIG;
        }
    }
    return 0;
}

void TableFile::bindRow(sqlite3_stmt* stmt, const Row& row)
{
    for (size_t i = 0; i < defs_.size(); ++i)
        bindValue(stmt, int(i) + 1, defs_[i], row.cells[i]);
}

void TableFile::prepareToWrite()
{
    if (mode_ == Mode::Stopped)
        throw Error(replaced(openedPath_, keptPath_, keptProblem_, true));
    if (readOnly())
        readOnlyRefusal(path_, readOnlyReason_);
    ensureFile();
}

void TableFile::commit(const std::function<void()>& statements)
{
    std::lock_guard hold(connection_);
    prepareToWrite();
    bool foreign = false;
    int error = 0;
    try {
        exec(db_, "BEGIN IMMEDIATE");
        try {
            if (writtenByOthers())
                throw ForeignChange{};
            statements();
            exec(db_, "COMMIT");
        } catch (const ForeignChange&) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            foreign = true;
        } catch (...) {
            error = systemError();  // before the rollback clears it
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const Error& e) {
        unwritable(path_, e.what(), error ? error : systemError());
    }
    if (foreign)
        giveUpFile(true, true);
    if (mode_ == Mode::WritingKept)
        foldKeptWhole();
    rememberIdentity();
    rememberDataVersion();
    if (committed_)
        committed_();
}

void TableFile::foldKeptWhole()
{
    // The rows kept beside a replaced file are made whole in their own file after every commit:
    // should the program stop, that file alone, copied or moved anywhere, holds them all. Rare
    // enough that the fold-in's cost does not count.
    if (logRecord_)
        logRecord_->beforeFoldIn();
    if (db_ && sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) == SQLITE_OK)
        startLogRecord();
}

void TableFile::rowAdded(const Row& row, int64_t nextKey)
{
    if (nextKey - 1 > kLargestKey)
        throw Error("لا يتسع ملف الجدول " + isolated(path_) + " لصف آخر: بلغت مفاتيحه أكبر عدد يحفظه.");
    commit([&] {
        sqlite3_reset(insert_);
        bindRow(insert_, row);
        stepOneRow(db_, insert_);
        sqlite3_reset(counter_);
        sqlite3_bind_int64(counter_, 1, nextKey);
        sqlite3_bind_int64(counter_, 2, nextKey - 1);
        stepOneRow(db_, counter_);
    });
}

void TableFile::rowChanged(const Row& row)
{
    commit([&] {
        sqlite3_reset(update_);
        bindRow(update_, row);
        stepOneRow(db_, update_);
    });
}

void TableFile::rowDeleted(int64_t key)
{
    commit([&] {
        sqlite3_reset(delete_);
        sqlite3_bind_int64(delete_, 1, key);
        stepOneRow(db_, delete_);
    });
}

void TableFile::beginBatch()
{
    std::lock_guard hold(connection_);
    if (inBatch())
        throw Error("A batch is already open on " + path_);
    prepareToWrite();
    bool foreign = false;
    try {
        exec(db_, "BEGIN IMMEDIATE");
        foreign = writtenByOthers();
        if (foreign)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    } catch (const Error& e) {
        unwritable(path_, e.what(), systemError());
    }
    if (foreign)
        giveUpFile(true, true);
    batchCounter_ = table_.nextKey();
}

void TableFile::appendInBatch(const Row* rows, size_t count, int64_t nextKey)
{
    std::lock_guard hold(connection_);
    if (!inBatch())
        throw Error("No batch is open on " + path_);
    if (nextKey - 1 > kLargestKey)
        throw Error("لا يتسع ملف الجدول " + isolated(path_) + " لهذه الصفوف: تتجاوز مفاتيحها أكبر عدد يحفظه.");
    bool foreign = false;
    try {
        for (size_t i = 0; i < count; ++i) {
            sqlite3_reset(insert_);
            bindRow(insert_, rows[i]);
            stepOneRow(db_, insert_);
        }
        sqlite3_reset(counter_);
        sqlite3_bind_int64(counter_, 1, nextKey);
        sqlite3_bind_int64(counter_, 2, *batchCounter_);
        stepOneRow(db_, counter_);
        batchCounter_ = nextKey;
    } catch (const ForeignChange&) {
        foreign = true;
    } catch (const Error& e) {
        sqlite3_reset(insert_);
        sqlite3_reset(counter_);
        unwritable(path_, e.what(), systemError());
    }
    if (foreign) {
        rollbackBatch();
        giveUpFile(true, true);
    }
}

void TableFile::commitBatch()
{
    std::lock_guard hold(connection_);
    if (!inBatch())
        throw Error("No batch is open on " + path_);
    sqlite3_reset(insert_);
    sqlite3_reset(counter_);
    try {
        exec(db_, "COMMIT");
    } catch (const Error& e) {
        // A commit that failed may leave the transaction open: it is rolled back by the caller.
        unwritable(path_, e.what(), systemError());
    }
    committedBatchCounter_ = *batchCounter_;
    batchCounter_.reset();
    if (mode_ == Mode::WritingKept)
        foldKeptWhole();
    rememberIdentity();
    rememberDataVersion();
    if (committed_)
        committed_();
}

void TableFile::rollbackBatch() noexcept
{
    std::lock_guard hold(connection_);
    if (!inBatch())
        return;
    batchCounter_.reset();
    sqlite3_reset(insert_);
    sqlite3_reset(counter_);
    // SQLite rolls some failures back by itself (a full disk); then there is nothing left to undo.
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TableFile::takeBack(int64_t firstKey)
{
    const std::string key = quoted(table_.indexDef()->field);
    commit([&] {
        Statement remove(db_, "DELETE FROM rows WHERE " + key + " >= ?");
        sqlite3_bind_int64(remove.get(), 1, firstKey);
        remove.step(db_);
        sqlite3_reset(counter_);
        sqlite3_bind_int64(counter_, 1, firstKey);
        sqlite3_bind_int64(counter_, 2, committedBatchCounter_);
        stepOneRow(db_, counter_);
    });
}

void TableFile::close()
{
    std::lock_guard hold(connection_);
    rollbackBatch();
    if (mode_ == Mode::Stopped)
        return;  // the user was told when it happened
    switch (checkPlace()) {
    case Place::Ours:
    case Place::Touched:
        disconnect(true);
        if (!foldProblem_.empty())
            throw Error("لم يُدمج سجلّ تغييرات ملف الجدول " + isolated(path_) + " فيه عند الإغلاق: " + writeReason(path_, foldError_) +
                        " " + isolated("(" + foldProblem_ + ")") + ". بقي السجلّ " + isolated(path_ + "-wal") +
                        " بجانبه وفيه كل ما حُفظ، ويُقرأ مع الملف عند التشغيل التالي؛ لا تحذفه.");
        return;
    case Place::WrittenByOthers:
        try {
            giveUpFile(false, true);
        } catch (...) {
            disconnect(true);  // the rows kept beside: a closed table is its file alone
            throw;
        }
    case Place::Vanished:
        disconnect(false);
        dropLog();
        writeWhole(path_, table_, kind_);
        return;
    case Place::Replaced:
        try {
            giveUpFile(false, false);
        } catch (...) {
            disconnect(true);  // the rows kept beside: a closed table is its file alone
            throw;
        }
    }
}

}  // namespace barqeen
