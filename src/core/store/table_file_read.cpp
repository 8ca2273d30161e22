#include "core/store/table_file_read.h"

#include "core/store/datetime.h"
#include "core/store/file_messages.h"
#include "core/store/sqlite_calls.h"
#include "core/text/codepage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace barqeen::table_file_read {

using file_messages::isolated;
using sqlite::quoted;
using sqlite::Statement;

namespace {

[[noreturn]] void damaged(const std::string& what)
{
    throw Error("الملف تالف: " + what);
}

bool isIntegerType(FieldType t)
{
    return t == FieldType::AutoIncrement || t == FieldType::Integer || t == FieldType::SmallInt;
}

std::string text(sqlite3_stmt* s, int column)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return p ? p : "";
}

std::string columnList(const std::vector<FieldDef>& defs)
{
    std::string list;
    for (size_t i = 0; i < defs.size(); ++i)
        list += (i ? ", " : "") + quoted(defs[i].name);
    return list;
}

}  // namespace

void checkPlainFile(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == EACCES)
            throw Error("لا يسمح النظام للبرنامج بالوصول إلى الملف (الصلاحيات)");
        throw Error("الملف غير موجود " + isolated(std::string("(") + std::strerror(errno) + ")"));
    }
    if (S_ISDIR(st.st_mode))
        throw Error("في مكانه مجلد وليس ملفًا");
    if (!S_ISREG(st.st_mode))
        throw Error("ليس ملفًا عاديًا (في مكانه أنبوب أو جهاز أو ما يشبههما)");
    if (::access(path.c_str(), R_OK) != 0)
        throw Error("لا يسمح النظام للبرنامج بقراءة الملف (الصلاحيات)");
}

std::vector<std::string> layoutStatements(const std::vector<FieldDef>& defs)
{
    std::string rows = "CREATE TABLE rows (";
    for (size_t i = 0; i < defs.size(); ++i) {
        if (i)
            rows += ", ";
        rows += quoted(defs[i].name);
        if (defs[i].type == FieldType::AutoIncrement)
            rows += " INTEGER PRIMARY KEY";
        else
            rows += isIntegerType(defs[i].type) ? " INTEGER" : " TEXT";
    }
    return {
        "CREATE TABLE barqeen_table (name TEXT NOT NULL, next_key INTEGER NOT NULL)",
        "CREATE TABLE barqeen_fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL, "
        "type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL)",
        "CREATE TABLE barqeen_index (name TEXT NOT NULL, field TEXT NOT NULL, "
        "is_primary INTEGER NOT NULL, is_unique INTEGER NOT NULL)",
        rows + ")",
    };
}

void checkSchema(sqlite3* db, const std::vector<FieldDef>& defs)
{
    const std::vector<std::string> ours = layoutStatements(defs);
    size_t found = 0;
    // SQLite's own statistics tables (made by ANALYZE) only guide its choice of plans.
    Statement s(db, "SELECT type, name, sql FROM sqlite_schema "
                    "WHERE NOT (type = 'table' AND name LIKE 'sqlite\\_stat%' ESCAPE '\\') ORDER BY rowid");
    while (s.step(db)) {
        if (std::find(ours.begin(), ours.end(), text(s.get(), 2)) == ours.end())
            throw Error("فيه ما ليس من جداول برقين " + isolated("(" + text(s.get(), 0) + " " + text(s.get(), 1) + ")") +
                        "، وقد يغيّر ما يكتبه البرنامج فيه");
        ++found;
    }
    if (found != ours.size())
        throw Error("تنقصه جداول من جداول برقين");
}

void checkMarks(sqlite3* db)
{
    if (sqlite::integerOf(db, "PRAGMA application_id") != kApplicationId)
        throw Error("ليس ملفًا من ملفات جداول برقين");
    if (sqlite::integerOf(db, "PRAGMA user_version") != kFormatVersion)
        throw Error("كُتب بصيغة لا يعرفها هذا الإصدار من البرنامج");
}

int64_t checkLayout(sqlite3* db, const Table& table, const std::string& kind)
{
    int64_t nextKey = 1;
    {
        Statement s(db, "SELECT name, next_key FROM barqeen_table");
        if (!s.step(db))
            throw Error("ينقصه وصف الجدول");
        if (text(s.get(), 0) != kind)
            throw Error("ليس ملف جدول " + isolated(kind));
        if (sqlite3_column_type(s.get(), 1) != SQLITE_INTEGER)
            damaged("عدّاد المفاتيح ليس عددًا");
        nextKey = sqlite3_column_int64(s.get(), 1);
        if (nextKey < 1 || nextKey > kLargestKey + 1)
            damaged("عدّاد المفاتيح " + isolated(std::to_string(nextKey)) + " خارج مداه");
        if (s.step(db))
            damaged("فيه أكثر من وصف للجدول");
    }
    {
        std::vector<FieldDef> found;
        Statement s(db, "SELECT name, type, size, required FROM barqeen_fields ORDER BY position");
        while (s.step(db)) {
            FieldDef def;
            def.name = text(s.get(), 0);
            if (!fieldTypeFromName(text(s.get(), 1), def.type))
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
        if (s.step(db))
            index = {text(s.get(), 0), text(s.get(), 1), sqlite3_column_int(s.get(), 2) != 0,
                     sqlite3_column_int(s.get(), 3) != 0};
        if (!table.indexDef() || index != *table.indexDef() || s.step(db))
            throw Error("فهرسه لا يطابق فهرس جدول " + isolated(kind));
    }
    return nextKey;
}

void checkLength(const std::string& path)
{
    // Read from the file's header, before SQLite reads any page: SQLite takes a page cut short
    // as a whole page of zeroes.
    unsigned char header[100];
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return;  // SQLite says why
    const ssize_t got = ::read(fd, header, sizeof header);
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!known || got != ssize_t(sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0)
        return;  // not a database at all: SQLite says so
    const auto number = [&](int at) {
        return int64_t(header[at]) << 24 | int64_t(header[at + 1]) << 16 | int64_t(header[at + 2]) << 8 | header[at + 3];
    };
    const int64_t pageSize = header[16] == 0 && header[17] == 1 ? 65536 : int64_t(header[16]) << 8 | header[17];
    const int64_t pages = number(28);
    if (number(92) != number(24) || pages == 0)
        return;  // a header whose page count is not kept up to date: SQLite counts the file
    const int64_t length = st.st_size;
    const int64_t needed = pages * pageSize;
    // Committed pages may still wait in the write-ahead log beside the file (after a crash): the
    // file itself may then be shorter than the pages, but it is always whole pages.
    struct stat log {};
    const bool logHasPages = ::stat((path + "-wal").c_str(), &log) == 0 && log.st_size > 32;
    const bool sound = logHasPages ? pageSize > 0 && length % pageSize == 0 : length == needed;
    if (!sound)
        damaged("طوله " + isolated(std::to_string(length)) + " بايت وصفحاته تحتاج " +
                isolated(std::to_string(needed)) + " بايت؛ لعله قُطع");
}

namespace {

// One stored cell as the table holds it, checked; buffer is scratch room for the text's conversion.
Value readCell(sqlite3_stmt* s, int column, const FieldDef& def, TextArena& arena, std::string& buffer)
{
    const int type = sqlite3_column_type(s, column);
    if (type == SQLITE_NULL) {
        if (def.required)
            damaged("الحقل المطلوب " + isolated(def.name) + " فارغ");
        return Value();
    }
    if (isIntegerType(def.type)) {
        if (type != SQLITE_INTEGER)
            damaged("قيمة غير عددية في الحقل " + isolated(def.name));
        const int64_t n = sqlite3_column_int64(s, column);
        const int64_t lo = def.type == FieldType::SmallInt ? -32768 : -kLargestKey - 1;
        const int64_t hi = def.type == FieldType::SmallInt ? 32767 : kLargestKey;
        if (n < lo || n > hi)
            damaged("القيمة " + isolated(std::to_string(n)) + " خارج مدى الحقل " + isolated(def.name));
        return Value(n);
    }
    if (type != SQLITE_TEXT)
        damaged("قيمة من غير نوعها في الحقل " + isolated(def.name));
    const std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                                size_t(sqlite3_column_bytes(s, column)));
    if (def.type == FieldType::DateTime) {
        const auto stamp = datetime::fromText(text);
        if (!stamp)
            damaged("تاريخ غير صالح في الحقل " + isolated(def.name));
        return Value(*stamp);
    }
    if (!codepage::fromUtf8Into(text, buffer))
        damaged("نص فيه حرف لا يحفظه البرنامج في الحقل " + isolated(def.name));
    if (buffer.find('\0') != std::string::npos)
        damaged("نص فيه حرف صفري في الحقل " + isolated(def.name));
    if (def.required && buffer.empty())
        damaged("الحقل المطلوب " + isolated(def.name) + " فارغ");
    if (def.type == FieldType::String && def.size > 0 && buffer.size() > size_t(def.size))
        damaged("نص أطول من الحقل " + isolated(def.name));
    return arena.hold(buffer);
}

}  // namespace

void readRows(sqlite3* db, const Table& table, int64_t nextKey, std::vector<Row>& rows, TextArena& arena)
{
    const std::vector<FieldDef> defs = table.storedFieldDefs();
    const std::string& keyName = table.indexDef()->field;
    // Room for the rows there are, counted: the keys may have gaps of any size.
    rows.reserve(size_t(sqlite::integerOf(db, "SELECT count(*) FROM rows")));
    Statement s(db, "SELECT " + columnList(defs) + " FROM rows ORDER BY " + quoted(keyName));
    const size_t keyColumn = size_t(table.keyField()->column());
    std::string buffer;
    int64_t lastKey = 0;
    while (s.step(db)) {
        Row row{Cells(defs.size()), Value()};
        for (size_t i = 0; i < defs.size(); ++i)
            row.cells[i] = readCell(s.get(), int(i), defs[i], arena, buffer);
        const Value& key = row.cells[keyColumn];
        if (!key.isInteger() || key.integer() <= lastKey || key.integer() >= nextKey)
            damaged("مفتاح غير صالح " + isolated(key.isInteger() ? std::to_string(key.integer()) : "NULL") +
                    " بعد المفتاح " + isolated(std::to_string(lastKey)) + "، وعدّاد المفاتيح " +
                    isolated(std::to_string(nextKey)));
        lastKey = key.integer();
        rows.push_back(std::move(row));
    }
}

}  // namespace barqeen::table_file_read
