#include "framework/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "framework/FrameLoop.h"

void waitForKeyAndExit() {
    std::cout.flush();
    std::fflush(stdout);
    // One character, or end of input when no console is attached.
    std::cin.get();
    endProgram(1);
}
