#include "core/exchange/tables_batch.h"

#include "core/common/error.h"
#include "core/store/batch_record.h"

namespace barqeen::exchange {

TablesBatch::~TablesBatch()
{
    rollback();
}

void TablesBatch::add(Table& table, std::vector<Row> rows)
{
    if (rows.empty())
        return;
    total_ += rows.size();
    parts_.push_back({&table, store_.fileOf(table), std::move(rows), table.nextKey()});
}

bool TablesBatch::write(size_t maxRows)
{
    for (Part& part : parts_) {
        if (part.written == part.rows.size())
            continue;
        if (part.table->nextKey() != part.firstKey)
            throw Error("تغيّر جدول " + part.table->name() + " أثناء الاستيراد.");
        if (part.file && !part.open) {
            part.file->beginBatch();
            part.open = true;
        }
        const size_t count = std::min(maxRows, part.rows.size() - part.written);
        if (part.file)
            part.file->appendInBatch(part.rows.data() + part.written, count,
                                     part.firstKey + int64_t(part.written + count));
        part.written += count;
        written_ += count;
        return written_ < total_;
    }
    return false;
}

void TablesBatch::commit()
{
    while (write(total_)) {
    }
    // Several files commit one after another: a record of the change, kept until the last has
    // committed, lets the next start undo it should the program stop in between.
    std::vector<batch_record::Entry> entries;
    for (const Part& part : parts_)
        if (part.file)
            entries.push_back({store_.kindOf(*part.table), part.firstKey, part.firstKey + int64_t(part.rows.size())});
    const bool recorded = entries.size() > 1;
    if (recorded) {
        try {
            batch_record::write(store_.dir(), entries);
        } catch (const Error&) {
            rollback();
            parts_.clear();
            throw;
        }
    }
    for (size_t i = 0; i < parts_.size(); ++i) {
        Part& failing = parts_[i];
        if (!failing.file)
            continue;
        try {
            failing.file->commitBatch();
            failing.open = false;
        } catch (const Error& e) {
            std::string message = e.what();
            rollback();
            for (size_t k = 0; k < i; ++k) {
                Part& done = parts_[k];
                if (!done.file)
                    continue;
                try {
                    done.file->takeBack(done.firstKey);
                } catch (const Error& undo) {
                    // The file keeps these rows: so must the table, to show what the file holds.
                    message += "\n" + std::string(undo.what()) + " بقي في جدول " + done.table->name() + " " +
                               std::to_string(done.rows.size()) + " من الصفوف الجديدة.";
                    done.table->appendRows(std::move(done.rows));
                }
            }
            parts_.clear();
            if (recorded)
                batch_record::remove(store_.dir());
            throw Error(message);
        }
    }
    if (recorded)
        batch_record::remove(store_.dir());
    for (Part& part : parts_)
        part.table->appendRows(std::move(part.rows));
    parts_.clear();
}

void TablesBatch::rollback() noexcept
{
    for (Part& part : parts_)
        if (part.open) {
            part.file->rollbackBatch();
            part.open = false;
        }
}

}  // namespace barqeen::exchange
