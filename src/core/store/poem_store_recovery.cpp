// Undoing at start what a change to several files (an import) left in some of them when the
// program stopped between their commits.
#include "core/common/error.h"
#include "core/store/batch_record.h"
#include "core/store/file_messages.h"
#include "core/store/poem_store.h"
#include "core/store/sqlite_calls.h"
#include "core/store/table_file_read.h"

#include <sqlite3.h>

#include <cstdio>

namespace barqeen {

using sqlite::exec;
using sqlite::quoted;

namespace {

// The key counter a table file holds now, read with its log; 0 when it cannot be read as ours.
int64_t counterIn(sqlite3* db)
{
    try {
        if (sqlite::integerOf(db, "PRAGMA application_id") != table_file_read::kApplicationId)
            return 0;
        return sqlite::integerOf(db, "SELECT next_key FROM barqeen_table");
    } catch (const Error&) {
        return 0;
    }
}

}  // namespace

void PoemStore::undoInterruptedBatch()
{
    // A record stopped before it was whole was never renamed into place: no file had committed.
    std::remove((batch_record::pathIn(dir_) + ".new").c_str());
    const std::vector<batch_record::Entry> entries = batch_record::read(dir_);
    if (entries.empty()) {
        batch_record::remove(dir_);
        return;
    }
    struct Open {
        sqlite3* db = nullptr;
        ~Open() { sqlite3_close(db); }
    };
    const auto counterOf = [&](const batch_record::Entry& e, Open& file) {
        if (sqlite3_open_v2(pathOf(e.kind.c_str()).c_str(), &file.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return int64_t(0);
        sqlite3_busy_timeout(file.db, 2000);
        return counterIn(file.db);
    };
    // The last file to commit holds the change: then every file does, and only the record is left.
    {
        Open last;
        if (counterOf(entries.back(), last) == entries.back().afterKey) {
            batch_record::remove(dir_);
            return;
        }
    }
    std::string undone, left;
    for (const batch_record::Entry& e : entries) {
        Open file;
        const int64_t counter = counterOf(e, file);
        if (counter == e.firstKey)
            continue;  // never committed
        const std::string name = file_messages::isolated(pathOf(e.kind.c_str()));
        if (counter != e.afterKey) {
            left += "\n" + name;
            continue;
        }
        try {
            const std::string key = quoted(slot(e.kind.c_str()).table->indexDef()->field);
            exec(file.db, "PRAGMA synchronous = FULL; BEGIN IMMEDIATE");
            exec(file.db, "DELETE FROM rows WHERE " + key + " >= " + std::to_string(e.firstKey));
            exec(file.db, "UPDATE barqeen_table SET next_key = " + std::to_string(e.firstKey));
            exec(file.db, "COMMIT");
            undone += "\n" + name + ": " + std::to_string(e.afterKey - e.firstKey);
        } catch (const Error& error) {
            sqlite3_exec(file.db, "ROLLBACK", nullptr, nullptr, nullptr);
            left += "\n" + name + " " + file_messages::isolated("(" + std::string(error.what()) + ")");
        }
    }
    if (!left.empty()) {
        // Some file could not be set back: the record stays for the next start.
        batchNotice_ = "توقف البرنامج في آخر تشغيل أثناء حفظ استيراد، ولم يُستطع إرجاع هذه الملفات إلى ما كانت عليه قبله:" +
                       left + "\nسيُحاول البرنامج ذلك عند التشغيل التالي.";
        return;
    }
    batch_record::remove(dir_);
    if (!undone.empty())
        batchNotice_ = "توقف البرنامج في آخر تشغيل أثناء حفظ استيراد لم يكتمل، فأُزيل ما حُفظ منه لتبقى الجداول كما كانت "
                       "قبله. الصفوف المُزالة:" + undone;
}

}  // namespace barqeen
