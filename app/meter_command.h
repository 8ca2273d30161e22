#pragma once
// `barqeen meter [--scan] [--poem FILE] [FILE…]`: names the meter of each verse of the files
// (standard input when none) and the feet of its hemistichs; with --scan the whole scansion of
// each verse; with --poem the meter of a whole poem and the verses that do not fit it. Reads no
// table and takes no lock, so it runs beside the program.
// `barqeen meter --table`: the count of the verse table's verses per meter, from the meters kept
// beside the tables (those not kept are scanned, and the file written again).
#include <string>
#include <vector>

namespace barqeen {

class PoemStore;

struct MeterOptions {
    bool scan = false;      // --scan: each hemistich's letters as said, pattern and feet
    std::string poem;       // --poem FILE: the file read as one poem
};

// Answers the exit code: 0 done, 1 a file could not be read.
int meterCommand(const std::vector<std::string>& files, const MeterOptions& options = {});

// The verse table's count per meter, on standard output; the store's tables are open. Answers 0.
int tableMeterCommand(PoemStore& store);

}  // namespace barqeen
