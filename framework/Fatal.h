#pragma once

// The common fatal ending: waits for one character on standard input so a
// console stays readable, then ends the program with exit status 1.
[[noreturn]] void waitForKeyAndExit();
