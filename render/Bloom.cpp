#include "render/Bloom.h"

#include <iostream>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"
#include "render/RenderTargets.h"

namespace {

int bloomScaleSetting = 0;

}  // namespace

void setBloomScaleSetting(int scale) {
    bloomScaleSetting = scale;
}

int chosenBloomScale() {
    if (bloomScaleSetting != 0) {
        return bloomScaleSetting;
    }
    return drawsSoftwarePath() ? kSoftwareBloomScale : 1;
}

std::string bloomScaleDefines(int scale) {
    return scale > 1 ? "#define GLOW_SCALE " + std::to_string(scale) + "\n" : std::string();
}

void Bloom::init(uint32_t windowWidth, uint32_t windowHeight, int newScale) {
    // New targets replace the old ones, whose owners delete them.
    scale = newScale < 1 ? 1 : newScale;
    const auto divisor = static_cast<uint32_t>(scale);
    width = (windowWidth + divisor - 1) / divisor;
    height = (windowHeight + divisor - 1) / divisor;
    const auto w = static_cast<int32_t>(width);
    const auto h = static_cast<int32_t>(height);

    brightTexture = RenderTargets::createColorTexture(w, h, true);
    brightFramebuffer = RenderTargets::createColorFramebuffer(brightTexture.get());
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cerr << "[Bloom] emissive FBO incomplete\n";
    }
    for (int i = 0; i < 2; ++i) {
        pingpongTextures[i] = RenderTargets::createColorTexture(w, h, true);
        pingpongFramebuffers[i] = RenderTargets::createColorFramebuffer(pingpongTextures[i].get());
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    blurShader = std::make_shared<Shader>("assets/shaders/quad.vert", "assets/shaders/blur.frag",
                                          bloomScaleDefines(scale));
    RenderTargets::createFullScreenQuad(quadVertexArray, quadVertexBuffer);
}

void Bloom::beginExtract() {
    glBindFramebuffer(GL_FRAMEBUFFER, brightFramebuffer.get());
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    // Black stays the clear colour of every later clear. The target itself
    // is not cleared: the extract pass covers all of it.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void Bloom::blur() {
    if (width == 0 || height == 0 || !blurShader) {
        return;
    }
    // Horizontal, vertical, horizontal again; the last pass lands in
    // pingpongTextures[1], the result.
    struct Pass {
        uint32_t target;
        int32_t horizontal;
        uint32_t source;
    };
    const Pass passes[3] = {
        {pingpongFramebuffers[1].get(), 1, brightTexture.get()},
        {pingpongFramebuffers[0].get(), 0, pingpongTextures[1].get()},
        {pingpongFramebuffers[1].get(), 1, pingpongTextures[0].get()},
    };
    blurShader->use();
    blurShader->setInt("image", 0);
    glBindVertexArray(quadVertexArray.get());
    glActiveTexture(GL_TEXTURE0);
    for (const Pass& pass : passes) {
        glBindFramebuffer(GL_FRAMEBUFFER, pass.target);
        blurShader->setInt("horizontal", pass.horizontal);
        glBindTexture(GL_TEXTURE_2D, pass.source);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
