#pragma once
// A dry run over several files. The import stores each file before it reads the next, so a file
// meets the verses, poets and categories of the files before it as rows of the tables: a verse
// they brought is a repeat, a poet they made is found, not made again. A dry run stores nothing;
// it keeps here what each file would have added, and checks the next file against it too, so
// that its counts are the import's own.
#include "core/store/table.h"

#include <vector>

namespace barqeen::exchange {

struct RowsOfFilesBefore {
    // With the keys the import would give them, following the tables' own.
    std::vector<Row> verses, poets, categories;
};

}  // namespace barqeen::exchange
