#pragma once
// What a watcher of a table keeps across a reset notice to tell what the reset was: the same rows
// (a filter changed), rows added at the end at once (an import), or the table read anew or closed.
// Every row is added at the end with the next key, so the first key and the key at the old last
// place tell it.
#include "core/store/table.h"

#include <cstdint>

namespace barqeen {

struct RowsOutline {
    bool active = false;
    int rows = 0;
    int64_t firstKey = 0, lastKey = 0;

    static RowsOutline of(const Table& table)
    {
        RowsOutline o;
        o.active = table.active();
        o.rows = o.active ? table.rowCount() : 0;
        if (o.rows > 0) {
            const auto key = size_t(table.keyField()->column());
            o.firstKey = table.rowAt(0).cells[key].integer();
            o.lastKey = table.rowAt(o.rows - 1).cells[key].integer();
        }
        return o;
    }

    // The rows outlined are still the table's first rows, in their places (more may follow).
    bool stillLeads(const Table& table) const
    {
        const RowsOutline now = of(table);
        if (!active || !now.active || now.rows < rows)
            return false;
        if (rows == 0)
            return true;
        const auto key = size_t(table.keyField()->column());
        return now.firstKey == firstKey && table.rowAt(rows - 1).cells[key].integer() == lastKey;
    }
};

}  // namespace barqeen
