#pragma once
// The search's test of one verse, step by step: the words split and brought to their matching
// form, and the verse's matching form made, for every verse asked about. It is the yardstick of
// the fast search, and the answer for a row not yet known to it (a verse being posted).
#include "core/search/search_criteria.h"
#include "core/store/table.h"

namespace barqeen {

// True when the verse row passes every criterion that is switched on.
bool AcceptsRecord(const SearchCriteria& criteria, const RowRef& row);

// The advanced panel's tests alone (author, first letter, last letter, category, meter).
bool PassesPanel(const SearchCriteria& criteria, const RowRef& row);

}  // namespace barqeen
