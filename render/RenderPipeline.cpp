#include "render/RenderPipeline.h"

#include <iostream>

#include "framework/Gl.h"
#include "framework/Input.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"
#include "render/Camera.h"
#include "render/HeadsUpDisplay.h"
#include "render/PipelinePasses.h"
#include "render/RenderTargets.h"
#include "render/Skybox.h"
#include "world/GameObject.h"
#include "world/PlayableCharacter.h"
#include "world/TerrainObject.h"
#include "world/WorldManager.h"

namespace {

const float extractCutoff = 0.5f;
const float extractGain = 1.0f;
const float bloomStrength = 5.0f;

// Objects whose back faces the camera never sees (or, for the glider, sees
// only as a pixel's seam along an edge of its body): the land is a height
// field seen from above, so the triangles facing away are the far sides of
// hills, behind the near sides; the glider is a closed body.
bool hidesItsBackFaces(const GameObject& object) {
    return dynamic_cast<const TerrainObject*>(&object) != nullptr ||
           dynamic_cast<const PlayableCharacter*>(&object) != nullptr;
}

}  // namespace

void RenderPipeline::init(int32_t newWidth, int32_t newHeight) {
    build(newWidth, newHeight);
}

void RenderPipeline::build(int32_t newWidth, int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    initialised = false;
    // A window without area (minimised) gets no targets: they could not be
    // complete, and the next real size builds them anyway.
    if (width <= 0 || height <= 0) {
        return;
    }
    buildSceneTarget();
    RenderTargets::createFullScreenQuad(quadVertexArray, quadVertexBuffer);
    // On the software path the back faces of the land and the glider are
    // dropped before they are rasterized. Decided here, once, not by asking
    // the driver's name in every frame.
    cullHiddenBackFaces = drawsSoftwarePath();
    const int glowScale = chosenBloomScale();
    // The two programs that read the scene target.
    const std::string defines = bloomScaleDefines(glowScale) + RenderTargets::sceneRangeDefines();
    blendShader =
        std::make_shared<Shader>("assets/shaders/quad.vert", "assets/shaders/blend.frag", defines);
    extractShader = std::make_shared<Shader>("assets/shaders/quad.vert",
                                             "assets/shaders/extract.frag", defines);
    bloom.init(static_cast<uint32_t>(width), static_cast<uint32_t>(height), glowScale);
    initialised = true;
}

void RenderPipeline::releaseSceneTarget() {
    sceneFramebuffer.reset();
    sceneColorTexture.reset();
    sceneDepthTexture.reset();
}

void RenderPipeline::buildSceneTarget() {
    releaseSceneTarget();
    sceneColorTexture = RenderTargets::createSceneColorTexture(width, height);
    sceneFramebuffer = RenderTargets::createColorFramebuffer(sceneColorTexture.get());
    sceneDepthTexture = RenderTargets::createDepthTexture(width, height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D,
                           sceneDepthTexture.get(), 0);

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cerr << "Scene framebuffer incomplete!" << std::endl;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void RenderPipeline::render(WorldManager& worldManager) {
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(glfwGetCurrentContext(), &framebufferWidth, &framebufferHeight);
    render(worldManager, framebufferWidth, framebufferHeight);
}

void RenderPipeline::render(WorldManager& worldManager, int32_t framebufferWidth,
                            int32_t framebufferHeight) {
    // Minimised: nothing is drawn and the camera keeps its projection; the
    // next real size rebuilds every target.
    if (framebufferWidth <= 0 || framebufferHeight <= 0) {
        width = framebufferWidth;
        height = framebufferHeight;
        initialised = false;
        return;
    }
    if (!initialised || framebufferWidth != width || framebufferHeight != height) {
        build(framebufferWidth, framebufferHeight);
    }
    if (const auto camera = worldManager.getCamera()) {
        camera->setAspectRatio(static_cast<float>(width) / static_cast<float>(height));
    }

    renderScene(worldManager);
    // Every pass from here on covers its whole target with one opaque quad:
    // no depth test and no clear, which a software rasterizer would
    // otherwise make (and write) for every pixel for nothing. The window's
    // framebuffer is cleared when the frame begins.
    glDisable(GL_DEPTH_TEST);
    extractBrightParts();
    bloom.blur();
    blendToWindow();

    if (Input::wasPressed(GLFW_KEY_H)) {
        hudVisible = !hudVisible;
    }
    if (hudVisible) {
        if (const auto hud = worldManager.getHud()) {
            hud->render(width, height, worldManager);
        }
    }
    glEnable(GL_DEPTH_TEST);
}

void RenderPipeline::extractBrightParts() {
    bloom.beginExtract();
    extractShader->use();
    extractShader->setInt("sceneTex", 0);
    extractShader->setFloat("cutoff", extractCutoff);
    extractShader->setFloat("gain", extractGain);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneColorTexture.get());
    glBindVertexArray(quadVertexArray.get());
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}

void RenderPipeline::blendToWindow() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    blendShader->use();
    blendShader->setInt("scene", 0);
    blendShader->setInt("bloom", 1);
    blendShader->setFloat("bloomStrength", bloomStrength);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneColorTexture.get());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, bloom.getResultTexture());
    glBindVertexArray(quadVertexArray.get());
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
    glActiveTexture(GL_TEXTURE0);
    blendShader->unuse();
}

void RenderPipeline::renderScene(WorldManager& worldManager, const SceneFilter* filter) {
    const auto drawn = [filter](const GameObject& object) {
        return filter == nullptr || filter->draws(object);
    };
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer.get());
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const auto camera = worldManager.getCamera();
    const auto skybox = worldManager.getSkybox();
    // Objects draw with the camera; without one there is nothing to see.
    if (camera) {
        const auto directionalLight = worldManager.getDirectionalLight();
        const auto pointLight = worldManager.getPointLight();
        // The list is walked in place: drawing never changes it, and a copy
        // would allocate every frame.
        const auto& objects = worldManager.getObjects();
        for (const auto& object : objects) {
            if (object && !object->isTranslucent() && drawn(*object)) {
                // Left as the renderer settings made it.
                const bool cull = cullHiddenBackFaces && hidesItsBackFaces(*object) &&
                                  glIsEnabled(GL_CULL_FACE) == GL_FALSE;
                if (cull) {
                    glEnable(GL_CULL_FACE);
                }
                object->draw(camera, directionalLight, pointLight);
                if (cull) {
                    glDisable(GL_CULL_FACE);
                }
            }
        }
        // The sky after the solid objects: it lies on the far plane, behind
        // all of them, so only the pixels they left empty pass the depth
        // test and are shaded; the picture is the one the sky drawn first
        // and painted over gives.
        if (skybox && (filter == nullptr || filter->drawsSky())) {
            glUseProgram(skybox->getProgram());
            // Only the camera's turn orients the sky; it never comes nearer.
            const glm::mat4 view(glm::mat3(camera->getViewMatrix()));
            skybox->draw(view, camera->getProjectionMatrix());
        }
        // Translucent objects (the particles, the ghost) last, blended over
        // everything solid and leaving the depth buffer alone.
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        for (const auto& object : objects) {
            if (object && object->isTranslucent() && drawn(*object)) {
                object->draw(camera, directionalLight, pointLight);
            }
        }
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
