#include "store/table_file.h"

#include "common/error.h"
#include "store/datetime.h"
#include "text/codepage.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace barqeen {
namespace {

constexpr int kApplicationId = 0x42515254;  // "BQRT": a Barqeen table
constexpr int kFormatVersion = 1;

// The file's name, or a technical detail in English, kept left to right inside an Arabic sentence.
std::string isolated(const std::string& text)
{
    return "\u2066" + text + "\u2069";
}

// Why a file cannot be written, in the user's words where the folder tells it; the technical
// detail follows in parentheses.
std::string writeProblem(const std::string& path, const std::string& detail)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(path).parent_path();
    std::error_code ec;
    std::string reason;
    if (!fs::is_directory(folder.empty() ? fs::path(".") : folder, ec))
        reason = "المجلد " + isolated(folder.string()) + " غير موجود";
    else if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        reason = "المجلد لا يسمح بالكتابة فيه";
    else if (fs::space(folder, ec).available < (1u << 20) && !ec)
        reason = "القرص ممتلئ";
    else
        reason = "تعذّرت الكتابة";
    return reason + " " + isolated("(" + detail + ")");
}

// why is one of our own reasons (Arabic) or SQLite's (English, technical).
[[noreturn]] void unreadable(const std::string& path, const std::string& why)
{
    const bool technical = std::all_of(why.begin(), why.end(), [](char c) { return uint8_t(c) < 0x80; });
    const std::string reason = technical ? "الملف تالف أو ليس من ملفات برقين " + isolated("(" + why + ")") : why;
    throw Error("تعذّرت قراءة ملف الجدول " + isolated(path) + ": " + reason +
                ". لم يُفتح هذا الجدول ولا الجداول التي تليه، ولن يُكتب في الملف شيء.");
}

// A new file that cannot be made (at start-up, or when a deleted file is written again).
[[noreturn]] void uncreatable(const std::string& path, const std::string& detail)
{
    throw Error("تعذّر إنشاء ملف الجدول " + isolated(path) + ": " + writeProblem(path, detail) + ".");
}

[[noreturn]] void unwritable(const std::string& path, const std::string& detail)
{
    throw Error("تعذّر حفظ التغيير في ملف الجدول " + isolated(path) + ": " + writeProblem(path, detail) +
                ". لم يُحفظ التغيير، وما حُفظ من قبل باقٍ كما هو.");
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            throw Error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    bool step(sqlite3* db)
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw Error(sqlite3_errmsg(db));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

void exec(sqlite3* db, const std::string& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error(text);
    }
}

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

bool isIntegerType(FieldType t)
{
    return t == FieldType::AutoIncrement || t == FieldType::Integer || t == FieldType::SmallInt;
}

std::string rowsTableSql(const std::vector<FieldDef>& defs)
{
    std::string sql = "CREATE TABLE rows (";
    for (size_t i = 0; i < defs.size(); ++i) {
        if (i)
            sql += ", ";
        sql += quoted(defs[i].name);
        if (defs[i].type == FieldType::AutoIncrement)
            sql += " INTEGER PRIMARY KEY";
        else
            sql += isIntegerType(defs[i].type) ? " INTEGER" : " TEXT";
    }
    return sql + ")";
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
        exec(db, "CREATE TABLE barqeen_table (name TEXT NOT NULL, next_key INTEGER NOT NULL)");
        exec(db, "CREATE TABLE barqeen_fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                 "type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL)");
        exec(db, "CREATE TABLE barqeen_index (name TEXT NOT NULL, field TEXT NOT NULL, "
                 "is_primary INTEGER NOT NULL, is_unique INTEGER NOT NULL)");
        exec(db, rowsTableSql(defs));
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
        if (sqlite3_close(db) != SQLITE_OK)
            throw Error(sqlite3_errmsg(db));
        db = nullptr;
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec)
            throw Error(ec.message());
        // Make the rename itself durable.
        const std::string dir = std::filesystem::path(path).parent_path().string();
        const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    } catch (const Error& e) {
        if (db)
            sqlite3_close(db);
        std::remove(temp.c_str());
        uncreatable(path, e.what());
    }
}

}  // namespace

void TableFile::write(const std::string& path, const Table& table, const std::string& kind)
{
    writeWhole(path, table, kind);
}

TableFile::TableFile(std::string path, Table& table, std::string kind)
    : path_(std::move(path)), table_(table), kind_(std::move(kind))
{
}

TableFile::~TableFile()
{
    disconnect();
}

void TableFile::disconnect()
{
    for (sqlite3_stmt** s : {&insert_, &update_, &delete_, &counter_}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
    if (db_)
        sqlite3_close(db_);
    db_ = nullptr;
}

void TableFile::rememberIdentity()
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
    }
}

bool TableFile::fileStillOurs() const
{
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

namespace {

// Checks the marks of a table file and that it holds this table's layout; answers its key counter.
int64_t checkLayout(sqlite3* db, const Table& table, const std::string& kind)
{
    {
        Statement s(db, "PRAGMA application_id");
        if (!s.step(db) || sqlite3_column_int(s.get(), 0) != kApplicationId)
            throw Error("ليس ملفًا من ملفات جداول برقين");
    }
    {
        Statement s(db, "PRAGMA user_version");
        if (!s.step(db) || sqlite3_column_int(s.get(), 0) != kFormatVersion)
            throw Error("كُتب بصيغة لا يعرفها هذا الإصدار من البرنامج");
    }
    int64_t nextKey = 1;
    {
        Statement s(db, "SELECT name, next_key FROM barqeen_table");
        if (!s.step(db))
            throw Error("ينقصه وصف الجدول");
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
        if (!name || name != kind)
            throw Error("ليس ملف جدول " + isolated(kind));
        nextKey = sqlite3_column_int64(s.get(), 1);
    }
    {
        std::vector<FieldDef> found;
        Statement s(db, "SELECT name, type, size, required FROM barqeen_fields ORDER BY position");
        while (s.step(db)) {
            FieldDef def;
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
            const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
            def.name = name ? name : "";
            if (!type || !fieldTypeFromName(type, def.type))
                throw Error("نوع حقل غير معروف");
            def.size = sqlite3_column_int(s.get(), 2);
            def.required = sqlite3_column_int(s.get(), 3) != 0;
            found.push_back(def);
        }
        if (found != table.storedFieldDefs())
            throw Error("حقوله لا تطابق حقول جدول " + isolated(kind));
    }
    {
        Statement s(db, "SELECT name, field, is_primary, is_unique FROM barqeen_index");
        IndexDef index;
        if (s.step(db)) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
            const auto* fieldName = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
            index = {name ? name : "", fieldName ? fieldName : "", sqlite3_column_int(s.get(), 2) != 0,
                     sqlite3_column_int(s.get(), 3) != 0};
        }
        if (!table.indexDef() || index != *table.indexDef() || s.step(db))
            throw Error("فهرسه لا يطابق فهرس جدول " + isolated(kind));
    }
    return nextKey;
}

// One stored cell as the table holds it; buffer is scratch room for the text's conversion.
Value readCell(sqlite3_stmt* s, int column, const FieldDef& def, TextArena& arena, std::string& buffer)
{
    const int type = sqlite3_column_type(s, column);
    if (type == SQLITE_NULL)
        return Value();
    if (isIntegerType(def.type)) {
        if (type != SQLITE_INTEGER)
            throw Error("قيمة غير عددية في الحقل " + isolated(def.name));
        return Value(int64_t(sqlite3_column_int64(s, column)));
    }
    if (type != SQLITE_TEXT)
        throw Error("قيمة من غير نوعها في الحقل " + isolated(def.name));
    const std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                                size_t(sqlite3_column_bytes(s, column)));
    if (def.type == FieldType::DateTime) {
        const auto stamp = datetime::fromText(text);
        if (!stamp)
            throw Error("تاريخ غير صالح في الحقل " + isolated(def.name));
        return Value(*stamp);
    }
    if (!codepage::fromUtf8Into(text, buffer))
        throw Error("نص فيه حرف لا يحفظه البرنامج في الحقل " + isolated(def.name));
    return arena.hold(buffer);
}

// Every row in key order, long texts held in arena; answers the largest key read.
int64_t readRows(sqlite3* db, const Table& table, std::vector<Row>& rows, TextArena& arena)
{
    const std::vector<FieldDef> defs = table.storedFieldDefs();
    const std::string& keyName = table.indexDef()->field;
    {
        // Room for every row at once: keys are given 1, 2, 3, ... so the largest is close.
        Statement count(db, "SELECT max(" + quoted(keyName) + ") FROM rows");
        if (count.step(db))
            rows.reserve(size_t(std::clamp<int64_t>(sqlite3_column_int64(count.get(), 0), 0, int64_t(1) << 26)));
    }
    Statement s(db, "SELECT " + columnList(defs) + " FROM rows ORDER BY " + quoted(keyName));
    const size_t keyColumn = size_t(table.keyField()->column());
    std::string buffer;
    int64_t lastKey = 0;
    while (s.step(db)) {
        Row row{Cells(defs.size()), Value()};
        for (size_t i = 0; i < defs.size(); ++i)
            row.cells[i] = readCell(s.get(), int(i), defs[i], arena, buffer);
        if (row.cells[keyColumn].isInteger())
            lastKey = row.cells[keyColumn].integer();
        rows.push_back(std::move(row));
    }
    return lastKey;
}

}  // namespace

std::unique_ptr<TableFile> TableFile::open(const std::string& path, Table& table, const std::string& kind)
{
    std::unique_ptr<TableFile> file(new TableFile(path, table, kind));
    // Only read until the file is known to be ours. (Opened for writing all the same, so that
    // SQLite can roll back a transaction that a crash left half done.)
    file->openConnection();
    std::vector<Row> rows;
    TextArena arena;
    int64_t nextKey = 1;
    try {
        nextKey = checkLayout(file->db_, table, kind);
        if (nextKey <= readRows(file->db_, table, rows, arena))
            throw Error("عدّاد المفاتيح فيه أصغر من أكبر مفتاح");
    } catch (const Error& e) {
        file->disconnect();
        unreadable(path, e.what());
    }
    sqlite3_exec(file->db_, "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
    file->prepareStatements();
    file->rememberIdentity();
    table.load(std::move(rows), nextKey, std::move(arena));
    table.setStorage(file.get());
    return file;
}

void TableFile::openConnection()
{
    // One thread uses a table file: SQLite's own locking between threads is not needed.
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        disconnect();
        unreadable(path_, why);
    }
    sqlite3_busy_timeout(db_, 2000);
    // Reading a large table whole is quicker through a memory map than through read() calls;
    // the map is given up once the rows are read (see open).
    sqlite3_exec(db_, "PRAGMA synchronous = FULL; PRAGMA mmap_size = 1073741824", nullptr, nullptr, nullptr);
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
        {&counter_, "UPDATE barqeen_table SET next_key = ?"},
    };
    for (const auto& [slot, sql] : statements)
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, slot, nullptr) != SQLITE_OK) {
            const std::string why = sqlite3_errmsg(db_);
            disconnect();
            unreadable(path_, why);
        }
}

void TableFile::ensureFile()
{
    if (db_ && fileStillOurs())
        return;
    disconnect();
    writeWhole(path_, table_, kind_);
    openConnection();
    prepareStatements();
    rememberIdentity();
}

void TableFile::bindRow(sqlite3_stmt* stmt, const Row& row)
{
    for (size_t i = 0; i < defs_.size(); ++i)
        bindValue(stmt, int(i) + 1, defs_[i], row.cells[i]);
}

void TableFile::commit(const std::function<void()>& statements)
{
    ensureFile();
    try {
        exec(db_, "BEGIN IMMEDIATE");
        try {
            statements();
            exec(db_, "COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const Error& e) {
        unwritable(path_, e.what());
    }
}

void TableFile::rowAdded(const Row& row, int64_t nextKey)
{
    commit([&] {
        sqlite3_reset(insert_);
        bindRow(insert_, row);
        if (sqlite3_step(insert_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
        sqlite3_reset(counter_);
        sqlite3_bind_int64(counter_, 1, nextKey);
        if (sqlite3_step(counter_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
    });
}

void TableFile::rowChanged(const Row& row)
{
    commit([&] {
        sqlite3_reset(update_);
        bindRow(update_, row);
        if (sqlite3_step(update_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
    });
}

void TableFile::rowDeleted(int64_t key)
{
    commit([&] {
        sqlite3_reset(delete_);
        sqlite3_bind_int64(delete_, 1, key);
        if (sqlite3_step(delete_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
    });
}

void TableFile::beginBatch()
{
    if (inBatch_)
        throw Error("A batch is already open on " + path_);
    ensureFile();
    try {
        exec(db_, "BEGIN IMMEDIATE");
    } catch (const Error& e) {
        unwritable(path_, e.what());
    }
    inBatch_ = true;
}

void TableFile::appendInBatch(const Row* rows, size_t count, int64_t nextKey)
{
    if (!inBatch_)
        throw Error("No batch is open on " + path_);
    try {
        for (size_t i = 0; i < count; ++i) {
            sqlite3_reset(insert_);
            bindRow(insert_, rows[i]);
            if (sqlite3_step(insert_) != SQLITE_DONE)
                throw Error(sqlite3_errmsg(db_));
        }
        sqlite3_reset(counter_);
        sqlite3_bind_int64(counter_, 1, nextKey);
        if (sqlite3_step(counter_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
    } catch (const Error& e) {
        sqlite3_reset(insert_);
        sqlite3_reset(counter_);
        unwritable(path_, e.what());
    }
}

void TableFile::commitBatch()
{
    if (!inBatch_)
        throw Error("No batch is open on " + path_);
    sqlite3_reset(insert_);
    sqlite3_reset(counter_);
    try {
        exec(db_, "COMMIT");
    } catch (const Error& e) {
        // A commit that failed may leave the transaction open: it is rolled back by the caller.
        unwritable(path_, e.what());
    }
    inBatch_ = false;
}

void TableFile::rollbackBatch() noexcept
{
    if (!inBatch_)
        return;
    inBatch_ = false;
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
        if (sqlite3_step(counter_) != SQLITE_DONE)
            throw Error(sqlite3_errmsg(db_));
    });
}

void TableFile::close()
{
    rollbackBatch();
    const bool vanished = !fileStillOurs();
    disconnect();
    if (vanished)
        writeWhole(path_, table_, kind_);
}

}  // namespace barqeen
