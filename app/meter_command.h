#pragma once
// `barqeen meter [FILE…]`: names the meter of each verse of the files (standard input when none)
// and the feet of its hemistichs. Reads no table and takes no lock, so it runs beside the program.
#include <string>
#include <vector>

namespace barqeen {

// Answers the exit code: 0 done, 1 a file could not be read.
int meterCommand(const std::vector<std::string>& files);

}  // namespace barqeen
