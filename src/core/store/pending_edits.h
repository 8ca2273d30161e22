#pragma once
// At exit, what the user typed and did not post yet is stored rather than dropped: each table's
// changed pending edit is posted; an unchanged one is left to be dropped when the table closes.
#include "core/store/table.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace barqeen {

struct UnpostedEdit {
    Table* table = nullptr;
    std::string reason;     // the table's message, as the error box would show it
    std::string fieldName;  // the empty required field, when that was the reason
};

// Posts the changed pending edits of the tables in turn and stops at the first one refused,
// which stays pending.
std::optional<UnpostedEdit> PostChangedEdits(std::initializer_list<Table*> tables);

}  // namespace barqeen
