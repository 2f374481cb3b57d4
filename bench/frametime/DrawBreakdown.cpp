#include "DrawBreakdown.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <string>
#include <vector>

// Valgrind's client macros, when its headers are installed; without them a
// run under callgrind counts the whole breakdown as one.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name) static_cast<void>(name)
#define CALLGRIND_ZERO_STATS static_cast<void>(0)
#endif

#include "FloorPasses.h"
#include "framework/Gl.h"
#include "render/Bloom.h"
#include "render/Camera.h"
#include "render/HeadsUpDisplay.h"
#include "render/RenderPipeline.h"
#include "render/Skybox.h"
#include "world/GameObject.h"
#include "world/ParticleSystem.h"
#include "world/WorldManager.h"

namespace {

// Process CPU time, the rasterizer's threads included: on a loaded machine
// it moves far less than the wall clock.
double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Under callgrind each part's instruction count is dumped on its own, named
// after the part (elsewhere the macros do nothing).
double millisecondsSince(double start, const std::string& part) {
    glFinish();
    CALLGRIND_DUMP_STATS_AT(part.c_str());
    return processCpuMilliseconds() - start;
}

double startPart() {
    glFinish();
    CALLGRIND_ZERO_STATS;
    return processCpuMilliseconds();
}

std::string partOf(const GameObject& object) {
    if (dynamic_cast<const ParticleSystem*>(&object) != nullptr) {
        return "particles";
    }
    const std::string& name = object.getName();
    if (name.rfind("Ring_", 0) == 0) {
        return "rings";
    }
    return name;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The scene pass as the pipeline draws it (opaque objects, the sky behind
// them, particles blended), leaving out the objects of one part ("" leaves
// out nothing, "sky" the sky).
void drawScene(WorldManager& worldManager, RenderPipeline& pipeline, const std::string& leftOut) {
    const auto camera = worldManager.getCamera();
    const auto skybox = worldManager.getSkybox();
    const auto directionalLight = worldManager.getDirectionalLight();
    const auto pointLight = worldManager.getPointLight();
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.getSceneFramebuffer());
    glViewport(0, 0, pipeline.getWidth(), pipeline.getHeight());
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const auto& object : worldManager.getObjects()) {
        if (dynamic_cast<const ParticleSystem*>(object.get()) == nullptr &&
            partOf(*object) != leftOut) {
            object->draw(camera, directionalLight, pointLight);
        }
    }
    if (camera && skybox && leftOut != "sky") {
        glUseProgram(skybox->getProgram());
        glDepthMask(GL_FALSE);
        skybox->draw(glm::mat4(glm::mat3(camera->getViewMatrix())), camera->getProjectionMatrix());
        glDepthMask(GL_TRUE);
    }
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    for (const auto& object : worldManager.getObjects()) {
        if (dynamic_cast<const ParticleSystem*>(object.get()) != nullptr &&
            leftOut != "particles") {
            object->draw(camera, directionalLight, pointLight);
        }
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

std::vector<DrawCost> measureDrawCosts(WorldManager& worldManager, RenderPipeline& pipeline,
                                       FloorPasses* floor, int repetitions) {
    std::vector<std::string> parts = {"sky"};
    for (const auto& object : worldManager.getObjects()) {
        const std::string part = partOf(*object);
        if (std::find(parts.begin(), parts.end(), part) == parts.end()) {
            parts.push_back(part);
        }
    }
    // Measured in one flush each: the whole scene pass, the scene pass with
    // each part left out (the part's share is the difference, so the depth
    // test sees every other part as in the game), the whole frame and the
    // floor. The post passes and HUD are what the frame adds to the scene.
    std::map<std::string, std::vector<double>> samples;
    for (int r = 0; r < repetitions; ++r) {
        double start = startPart();
        drawScene(worldManager, pipeline, "");
        samples["scene pass"].push_back(millisecondsSince(start, "scene pass"));
        for (const std::string& part : parts) {
            start = startPart();
            drawScene(worldManager, pipeline, part);
            samples["without " + part].push_back(millisecondsSince(start, "without " + part));
        }
        start = startPart();
        pipeline.render(worldManager, pipeline.getWidth(), pipeline.getHeight());
        samples["whole frame"].push_back(millisecondsSince(start, "whole frame"));
        start = startPart();
        pipeline.getBloom().blur();
        samples["blur"].push_back(millisecondsSince(start, "blur"));
        if (const auto hud = worldManager.getHud()) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            start = startPart();
            hud->render(pipeline.getWidth(), pipeline.getHeight(), worldManager);
            samples["HUD"].push_back(millisecondsSince(start, "HUD"));
        }
        if (floor != nullptr) {
            start = startPart();
            floor->draw();
            samples["floor"].push_back(millisecondsSince(start, "floor"));
        }
    }

    const double scene = median(samples["scene pass"]);
    const double whole = median(samples["whole frame"]);
    std::vector<DrawCost> costs;
    for (const std::string& part : parts) {
        costs.push_back({part, scene - median(samples["without " + part])});
    }
    costs.push_back({"scene pass", scene});
    costs.push_back({"bloom and HUD", whole - scene});
    costs.push_back({"blur (three passes)", median(samples["blur"])});
    costs.push_back({"HUD", median(samples["HUD"])});
    costs.push_back({"whole frame", whole});
    if (floor != nullptr) {
        costs.push_back({"floor", median(samples["floor"])});
    }
    return costs;
}
