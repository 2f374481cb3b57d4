#include "framework/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void waitForKeyAndExit() {
    std::cout.flush();
    std::fflush(stdout);
    // One character, or end of input when no console is attached.
    std::cin.get();
    std::exit(1);
}
