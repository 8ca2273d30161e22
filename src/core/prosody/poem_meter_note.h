#pragma once
// The meter of a poem being imported, for the import's summary and report: the scanner's reading
// of all its verses together.
#include "core/exchange/verse_import.h"

#include <string>
#include <vector>

namespace barqeen::prosody {

// verses: as the tables hold them (Windows-1256, hemistichs on two lines).
exchange::PoemMeterNote readPoemMeter(const std::vector<std::string>& verses);

}  // namespace barqeen::prosody
