#include "ProcessMemory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

double currentResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    if (!(statm >> pages >> resident)) {
        return 0.0;
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

double peakResidentMegabytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0.0;
    }
    // ru_maxrss is in kibibytes on Linux.
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
