#include "windows/shell/letter_items.h"

#include "core/text/codepage.h"

namespace barqeen {

QStringList letterItems(std::string_view letters)
{
    QStringList items;
    for (const char letter : letters)
        items << codepage::toUnicode(std::string_view(&letter, 1));
    return items;
}

}  // namespace barqeen
