#pragma once

// Shared by the app suite: the shipped level as a run builds it, keys
// tapped through the input module's seam, a window manager without a
// window, and a fixture that leaves no key, close request or wireframe
// behind on the test window.
#include <gtest/gtest.h>

#include "app/RenderFlags.h"
#include "app/RunLoop.h"
#include "app/Scene.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"

namespace app_test {

// OpenAL's null output: every level has a sound engine for the volume keys
// to act on, and nothing depends on a sound card.
inline const bool nullSoundOutput = [] {
    portable_test::setEnvironment("ALSOFT_DRIVERS", "null");
    return true;
}();

inline Scene buildLevel() {
    (void)nullSoundOutput;
    const StartupValues v;
    testing::internal::CaptureStdout();
    Scene scene = assembleScene(v.width, v.height, v.startPosition, v.fov, v.near, v.far,
                                v.moveSpeed, v.rotationSpeed, v.yaw, v.pitch);
    testing::internal::GetCapturedStdout();
    return scene;
}

// Pressed and let go before the next frame.
inline void tap(int key) {
    Input::postEvent(key, GLFW_PRESS);
    Input::postEvent(key, GLFW_RELEASE);
}

// Never initialised, so Enter reaches no window. It lives until the process
// ends: its destructor ends GLFW, which the test context still needs.
inline WindowManager& windowlessManager() {
    static WindowManager manager("VELTRA", 1080, 720, false);
    return manager;
}

class AppTest : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        window = testing_support::glTestWindow();
        reset();
    }
    void TearDown() override {
        if (window != nullptr) {
            glfwMakeContextCurrent(window);
            reset();
        }
    }
    // The event tables outlive every case: nothing is left from another.
    void reset() {
        for (int key : {GLFW_KEY_ESCAPE, GLFW_KEY_F1, GLFW_KEY_SPACE, GLFW_KEY_ENTER, GLFW_KEY_1,
                        GLFW_KEY_H, GLFW_KEY_F12, GLFW_KEY_PERIOD, GLFW_KEY_COMMA}) {
            Input::wasPressed(key);
            Input::wasReleased(key);
        }
        glfwSetWindowShouldClose(window, GLFW_FALSE);
        RenderFlags::setWireframe(false);
        RenderFlags::applyPolygonMode();
    }

    GLFWwindow* window = nullptr;
    Scene scene;
};

}  // namespace app_test
