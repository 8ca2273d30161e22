#include "memory_probe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace barqeen::bench {
namespace {

// Kilobytes from /proc/self/status ("VmHWM" is the peak resident size, "VmRSS" the current one).
long statusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

}  // namespace

bool RunMemoryProbe(const std::vector<std::string>& arguments, MemoryFigures& figures)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        std::vector<char*> argv{const_cast<char*>("probe")};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* out = fdopen(pipeEnds[0], "r");
    const bool ok = std::fscanf(out, "%ld %ld %ld", &figures.beforeKb, &figures.peakKb, &figures.afterKb) == 3;
    fclose(out);
    waitpid(child, nullptr, 0);
    return ok;
}

void PrintMemoryFigures(const std::function<void()>& work)
{
    const long before = statusKb("VmRSS");
    work();
    std::printf("%ld %ld %ld\n", before, statusKb("VmHWM"), statusKb("VmRSS"));
}

}  // namespace barqeen::bench
