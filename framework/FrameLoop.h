#pragma once

#include <functional>

// Runs the game's frames the way the system wants them run. On the desktop
// it calls `step` until it returns false, then `finish`, and returns. In a
// browser the page must get control back after every frame: `step` is
// called from the browser's frame callback, this function never returns
// (the caller's locals stay where they are), and after `finish` the program
// ends with status 0.
void runFrames(const std::function<bool()>& step, const std::function<void()>& finish);

// Ends the program now with `status`, as std::exit does; in a browser the
// frames stop too, which std::exit alone leaves running there.
[[noreturn]] void endProgram(int status);
