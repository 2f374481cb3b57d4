#include "CpuClock.h"

#include <ctime>

namespace {

double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

}  // namespace

double threadCpuMilliseconds() {
    return cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
}

double processCpuMilliseconds() {
    return cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
}
