#include "LevelDriver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "app/Frame.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

namespace integration_test {
namespace {

// The level must not depend on a sound card: every sound player of this
// process finds no output driver and stays silent.
const bool silenced = [] {
    portable_test::setEnvironment("ALSOFT_DRIVERS", "no-such-driver");
    return true;
}();

// Only Enter would reach the window manager, and these tests never press
// it. It is never initialised, and it lives until the process ends because
// its destructor ends GLFW, which the test context still needs.
WindowManager& unusedWindowManager() {
    static WindowManager windowManager("Veltra", 1080, 720, false);
    return windowManager;
}

constexpr int kSteeringKeys[] = {GLFW_KEY_W, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_D};

// Within this angle (radians) the player flies on without turning.
constexpr float kSteeringDeadZone = 0.02f;

std::string withoutFpsLines(const std::string& text) {
    std::istringstream lines(text);
    std::string kept;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("FPS: ", 0) != 0) {
            kept += line + "\n";
        }
    }
    return kept;
}

}  // namespace

Scene buildLevel(std::string* printed) {
    (void)silenced;
    testing::internal::CaptureStdout();
    Scene scene = assembleScene(1080, 720, glm::vec3(-100.0f, 20.0f, -200.0f), 60.0f, 0.1f, 5000.0f,
                                15.0f, 10.0f, -90.0f, 0.0f);
    const std::string output = testing::internal::GetCapturedStdout();
    if (printed != nullptr) {
        *printed = output;
    }
    return scene;
}

LevelDriver::LevelDriver(Scene builtScene) : scene(std::move(builtScene)) {
    // The input tables outlive every level: leave nothing behind from an
    // earlier test.
    Input::releaseAllHeldKeys();
    for (int key : {GLFW_KEY_SPACE, GLFW_KEY_1, GLFW_KEY_ESCAPE, GLFW_KEY_F1, GLFW_KEY_ENTER}) {
        Input::wasReleased(key);
    }
}

LevelDriver::~LevelDriver() {
    Input::releaseAllHeldKeys();
}

std::string LevelDriver::frames(int count, float dt) {
    testing::internal::CaptureStdout();
    for (int i = 0; i < count; ++i) {
        stepFrame(scene, dt, 1080, 720, testing_support::glTestWindow(), unusedWindowManager(),
                  &restart);
    }
    return withoutFpsLines(testing::internal::GetCapturedStdout());
}

std::string LevelDriver::releaseSpace(float dt) {
    Input::postEvent(GLFW_KEY_SPACE, GLFW_PRESS);
    Input::postEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
    return frames(1, dt);
}

std::string LevelDriver::startFlight(float dt) {
    std::string printed = releaseSpace(dt);
    WorldManager& world = *scene.worldManager;
    printed += framesUntil([&] { return world.state != GameState::Countdown; },
                           static_cast<int>(4.0f / dt), dt);
    return printed;
}

void LevelDriver::steerTowards(const glm::vec3& target) {
    for (int key : kSteeringKeys) {
        Input::releaseHeldKey(key);
    }
    const PlayableCharacter& player = *scene.player;
    const glm::vec3 wanted = glm::normalize(target - player.getPosition());
    const glm::vec3 heading = player.getDirection();

    // Climb or dive until the heading's slope matches the wanted one.
    const float slopeError = std::asin(std::clamp(wanted.y, -1.0f, 1.0f)) -
                             std::asin(std::clamp(heading.y, -1.0f, 1.0f));
    if (slopeError > kSteeringDeadZone) {
        Input::holdKey(GLFW_KEY_W);
    } else if (slopeError < -kSteeringDeadZone) {
        Input::holdKey(GLFW_KEY_S);
    }

    // A turns the heading about the vertical axis by a positive angle (from
    // -z towards -x); D by a negative one. The signed angle from heading to
    // target in the same sense picks the key.
    const glm::vec2 flatHeading(heading.x, heading.z);
    const glm::vec2 flatWanted(wanted.x, wanted.z);
    if (glm::length(flatHeading) > 0.0f && glm::length(flatWanted) > 0.0f) {
        const glm::vec2 h = glm::normalize(flatHeading);
        const glm::vec2 w = glm::normalize(flatWanted);
        const float turn = std::asin(std::clamp(h.y * w.x - h.x * w.y, -1.0f, 1.0f));
        if (turn > kSteeringDeadZone) {
            Input::holdKey(GLFW_KEY_A);
        } else if (turn < -kSteeringDeadZone) {
            Input::holdKey(GLFW_KEY_D);
        }
    }
}

bool LevelDriver::holds(const std::shared_ptr<GameObject>& object) const {
    const auto& objects = scene.worldManager->getObjects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

}  // namespace integration_test
