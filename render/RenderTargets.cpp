#include "render/RenderTargets.h"

#include "framework/Gl.h"
#include "framework/GlFeatures.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"

namespace RenderTargets {

const QuadVertices kFullScreenQuad = {
    -1.0f, 1.0f,  0.0f, 1.0f,  //
    -1.0f, -1.0f, 0.0f, 0.0f,  //
    1.0f,  -1.0f, 1.0f, 0.0f,  //
    -1.0f, 1.0f,  0.0f, 1.0f,  //
    1.0f,  -1.0f, 1.0f, 0.0f,  //
    1.0f,  1.0f,  1.0f, 1.0f,  //
};

const QuadVertices kUnitQuad = {
    0.0f, 1.0f, 0.0f, 1.0f,  //
    1.0f, 0.0f, 1.0f, 0.0f,  //
    0.0f, 0.0f, 0.0f, 0.0f,  //
    0.0f, 1.0f, 0.0f, 1.0f,  //
    1.0f, 1.0f, 1.0f, 1.0f,  //
    1.0f, 0.0f, 1.0f, 0.0f,  //
};

void buildQuad(GlVertexArray& vertexArray, GlBuffer& vertexBuffer, const QuadVertices& vertices) {
    vertexArray = generateVertexArray();
    vertexBuffer = generateBuffer();
    glBindVertexArray(vertexArray.get());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.get());
    glBufferData(GL_ARRAY_BUFFER, sizeof(QuadVertices), vertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float),
                          reinterpret_cast<const void*>(2 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void createFullScreenQuad(GlVertexArray& vertexArray, GlBuffer& vertexBuffer) {
    buildQuad(vertexArray, vertexBuffer, kFullScreenQuad);
}

namespace {

// WebGL 2 cannot draw into 16-bit normalized colour.
bool sceneIsNormalized() {
    return drawsSoftwarePath() && !glfeatures::isEs();
}

constexpr float kNormalizedSceneRange = 16.0f;

GlTexture createTexture(GLenum format, int32_t width, int32_t height, bool clampToEdge) {
    GlTexture texture = generateTexture();
    glBindTexture(GL_TEXTURE_2D, texture.get());
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, GL_RGBA, GL_FLOAT,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (clampToEdge) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace

GlTexture createColorTexture(int32_t width, int32_t height, bool clampToEdge) {
    return createTexture(glfeatures::floatColorFormat(), width, height, clampToEdge);
}

GlTexture createSceneColorTexture(int32_t width, int32_t height) {
    return createTexture(sceneIsNormalized() ? GL_RGBA16 : glfeatures::floatColorFormat(), width,
                         height, false);
}

float sceneColorRange() {
    return sceneIsNormalized() ? kNormalizedSceneRange : 1.0f;
}

std::string sceneRangeDefines() {
    return sceneIsNormalized()
               ? "#define SCENE_RANGE " + std::to_string(kNormalizedSceneRange) + "\n"
               : std::string();
}

std::shared_ptr<Shader> makeSceneShader(const std::string& vertexPath,
                                        const std::string& fragmentPath,
                                        const std::string& defines) {
    return std::make_shared<Shader>(vertexPath, fragmentPath, defines + sceneRangeDefines());
}

GlTexture createDepthTexture(int32_t width, int32_t height) {
    GlTexture texture = generateTexture();
    glBindTexture(GL_TEXTURE_2D, texture.get());
    // llvmpipe tests a float depth as it interpolates it, where 24 bits
    // are converted to and from fixed point for every fragment; the frames
    // come out the same.
    if (drawsSoftwarePath()) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32F, width, height, 0, GL_DEPTH_COMPONENT,
                     GL_FLOAT, nullptr);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_INT, nullptr);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

GlFramebuffer createColorFramebuffer(uint32_t texture) {
    GlFramebuffer framebuffer = generateFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return framebuffer;
}

}  // namespace RenderTargets
