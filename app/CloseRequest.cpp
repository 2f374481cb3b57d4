#include "app/CloseRequest.h"

#include <csignal>

#include "framework/Gl.h"

namespace {

volatile std::sig_atomic_t signalReceived = 0;

extern "C" void onCloseSignal(int /*signal*/) {
    signalReceived = 1;
}

}  // namespace

void installCloseSignalHandlers() {
#ifdef _WIN32
    std::signal(SIGINT, onCloseSignal);
    std::signal(SIGTERM, onCloseSignal);
#else
    struct sigaction action = {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep file reads whole; the handler is reset so
    // a second signal still ends a program that is stuck waiting.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool closeRequested(GLFWwindow* window) {
    if (signalReceived != 0) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    return glfwWindowShouldClose(window) == GLFW_TRUE;
}
