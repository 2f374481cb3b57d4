#include "app/CloseRequest.h"

#include "framework/Gl.h"
#include "framework/Platform.h"

void installCloseSignalHandlers() {
    platform::installCloseRequestHandlers();
}

bool closeRequested(GLFWwindow* window) {
    if (platform::closeRequestReceived()) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    return glfwWindowShouldClose(window) == GLFW_TRUE;
}
