#pragma once
// Peak memory measured in a fresh process: the benchmark program runs itself again with probe
// arguments, so that nothing else it did is counted. The probe prints three figures in kilobytes
// (before, peak, after) with PrintMemoryFigures.
#include <functional>
#include <string>
#include <vector>

namespace barqeen::bench {

struct MemoryFigures {
    long beforeKb = 0;
    long peakKb = 0;
    long afterKb = 0;
};

// Runs /proc/self/exe with the arguments and reads the figures it prints; false when it printed none.
bool RunMemoryProbe(const std::vector<std::string>& arguments, MemoryFigures& figures);

// In the probe: runs the work and prints the resident size before, the peak, and the size after.
void PrintMemoryFigures(const std::function<void()>& work);

}  // namespace barqeen::bench
