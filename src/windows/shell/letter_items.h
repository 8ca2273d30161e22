#pragma once
// A letter set of the core (text/letters.h) as the items of a list box: one letter an item.
#include <QStringList>

#include <string_view>

namespace barqeen {

QStringList letterItems(std::string_view letters);

}  // namespace barqeen
