#include "core/store/pending_edits.h"

namespace barqeen {

std::optional<UnpostedEdit> PostChangedEdits(std::initializer_list<Table*> tables)
{
    for (Table* t : tables) {
        const bool editing = t->state() == Table::State::Edit || t->state() == Table::State::Insert;
        if (!editing || !t->modified())
            continue;
        try {
            t->post();
        } catch (const RequiredFieldError& e) {
            return UnpostedEdit{t, e.what(), e.fieldName};
        } catch (const Error& e) {
            return UnpostedEdit{t, e.what(), {}};
        }
    }
    return std::nullopt;
}

}  // namespace barqeen
