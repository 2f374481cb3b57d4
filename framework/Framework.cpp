#include "framework/Framework.h"

#include <iostream>

#include "framework/Gl.h"
#include "framework/GlFeatures.h"
#include "framework/Shader.h"

namespace {

std::shared_ptr<Shader> defaultShader;

}  // namespace

bool initFramework() {
    if (glfwGetCurrentContext() == nullptr) {
        std::cout << "No context available. Exiting." << std::endl;
        return false;
    }
    if (!glfeatures::hasVersion3()) {
        std::cout << "GLEW not available. Exiting." << std::endl;
        return false;
    }
    GLint currentProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &currentProgram);
    if (currentProgram == 0) {
        // The previous program goes first: its destructor unbinds whatever
        // is current, which must not be the new one.
        defaultShader.reset();
        defaultShader = std::make_shared<Shader>();
        defaultShader->use();
    }
    return true;
}

void shutdownFramework() {
    defaultShader.reset();
}

std::shared_ptr<Shader> frameworkDefaultShader() {
    return defaultShader;
}
