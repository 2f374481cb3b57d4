#include "RulesTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "render/Lights.h"
#include "support/PortableTest.h"

namespace rules_test {
namespace {

// The rules must not depend on a sound card: every Sound of this process
// finds no output driver and runs silently (it still counts its cues).
const bool silenced = [] {
    portable_test::setEnvironment("ALSOFT_DRIVERS", "no-such-driver");
    return true;
}();

}  // namespace

std::shared_ptr<PlayableCharacter> makePlayer(const glm::vec3& position, const std::string& name) {
    return std::make_shared<Boxed<PlayableCharacter>>(
        1.0f, name, position, glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f),
        glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr);
}

Level::Level()
    : world(std::make_shared<WorldManager>(camera, hud, std::make_shared<DirectionalLight>(),
                                           std::make_shared<PointLight>())) {
    (void)silenced;
}

std::string Level::frames(int count, float dt) {
    testing::internal::CaptureStdout();
    for (int i = 0; i < count; ++i) {
        world->update(dt, 1080, 720);
    }
    std::istringstream printed(testing::internal::GetCapturedStdout());
    std::string kept;
    std::string line;
    while (std::getline(printed, line)) {
        if (line.rfind("FPS: ", 0) != 0) {
            kept += line + "\n";
        }
    }
    return kept;
}

bool Level::holds(const std::shared_ptr<GameObject>& object) const {
    const auto& objects = world->getObjects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

}  // namespace rules_test
