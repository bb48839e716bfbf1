#pragma once

#include <functional>
#include <string_view>

// What the benchmark's process holds in memory, as Linux tells it in
// /proc/self/status.
class ResidentMemory
{
public:
    // A line of /proc/self/status ("VmHWM", "VmRSS") in MB; 0 elsewhere.
    static double megabytes(std::string_view field);
    // Starts a new resident peak from what is resident now (Linux 4.0 and
    // later).
    static void resetPeak();
    // The resident peak `job` adds, in MB. Big blocks are mapped afresh from
    // then on, never taken from memory an earlier run freed, so that what
    // the job touches shows.
    static double peakAddedMb(const std::function<void()>& job);
};
