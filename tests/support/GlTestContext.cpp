#include "GlTestContext.h"

#include <cstdlib>
#include <string>

#include "framework/GlContext.h"

namespace testing_support {
namespace {

GLFWwindow* window = nullptr;
bool attempted = false;

void terminateAtExit() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    glfwTerminate();
}

}  // namespace

bool ensureGlContext() {
    if (attempted) {
        return window != nullptr;
    }
    attempted = true;
    window = createHiddenContext(1080, 720, "veltra-test");
    if (window == nullptr) {
        return false;
    }
    std::atexit(terminateAtExit);
    return true;
}

GLFWwindow* glTestWindow() {
    return window;
}

}  // namespace testing_support

namespace testing_support {

bool glContextRequired() {
    const char* required = std::getenv("VELTRA_REQUIRE_GL");
    return required != nullptr && *required != '\0' && std::string(required) != "0";
}

}  // namespace testing_support
