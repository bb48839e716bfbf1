#include "bench/residentmemory.h"

#include <fstream>
#include <malloc.h>
#include <string>

double ResidentMemory::megabytes(std::string_view field)
{
    std::ifstream status("/proc/self/status");
    const std::string wanted = std::string(field) + ':';
    std::string name;
    double kb = 0;
    while (status >> name) {
        if (name == wanted && status >> kb)
            return kb / 1024;
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

void ResidentMemory::resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double ResidentMemory::peakAddedMb(const std::function<void()>& job)
{
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    resetPeak();
    const double before = megabytes("VmRSS");
    job();
    return megabytes("VmHWM") - before;
}
