#include "framework/FrameLoop.h"

#include <cstdlib>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#ifdef __EMSCRIPTEN__

namespace {

// Copies: the caller's frame stays, but this function's own does not.
std::function<bool()> browserStep;
std::function<void()> browserFinish;

void browserFrame() {
    if (browserStep()) {
        return;
    }
    emscripten_cancel_main_loop();
    browserFinish();
    emscripten_force_exit(0);
}

}  // namespace

void runFrames(const std::function<bool()>& step, const std::function<void()>& finish) {
    browserStep = step;
    browserFinish = finish;
    // 0: at the browser's own rate (requestAnimationFrame); 1: do not
    // return here.
    emscripten_set_main_loop(browserFrame, 0, 1);
}

void endProgram(int status) {
    emscripten_cancel_main_loop();
    emscripten_force_exit(status);
    std::abort();  // not reached: the call above does not return
}

#else

void runFrames(const std::function<bool()>& step, const std::function<void()>& finish) {
    while (step()) {
    }
    finish();
}

void endProgram(int status) {
    std::exit(status);
}

#endif
