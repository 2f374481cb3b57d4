#include "FloorPasses.h"

#include <algorithm>
#include <iostream>

#include "framework/Gl.h"
#include "render/RenderTargets.h"

namespace {

const char* const kVertexSource = R"(#version 330 core
layout(location = 0) in vec2 position;
void main() {
    gl_Position = vec4(position, 0.0, 1.0);
}
)";

// texelFetch: the cheapest read of one texel, no filtering, so the floor is
// as low as six passes can go.
const char* const kFragmentSource = R"(#version 330 core
uniform sampler2D image;
out vec4 fragColor;
void main() {
    fragColor = vec4(texelFetch(image, ivec2(gl_FragCoord.xy), 0).rgb, 1.0);
}
)";

GLuint compileStage(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        std::cerr << "Floor pass shader failed to compile" << std::endl;
    }
    return shader;
}

GLuint linkPassThrough() {
    const GLuint vertex = compileStage(GL_VERTEX_SHADER, kVertexSource);
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, kFragmentSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDetachShader(program, vertex);
    glDetachShader(program, fragment);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        std::cerr << "Floor pass program failed to link" << std::endl;
    }
    return program;
}

}  // namespace

FloorPasses::FloorPasses(int32_t width, int32_t height) : width(width), height(height) {
    program = linkPassThrough();
    RenderTargets::createFullScreenQuad(quadVertexArray, quadVertexBuffer);

    // Same formats as the pipeline's targets: the path's colour and depth
    // on the scene target, RGB16F colour everywhere else.
    sceneColorTexture = RenderTargets::createSceneColorTexture(width, height);
    sceneFramebuffer = RenderTargets::createColorFramebuffer(sceneColorTexture.get());
    sceneDepthTexture = RenderTargets::createDepthTexture(width, height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D,
                           sceneDepthTexture.get(), 0);

    brightTexture = RenderTargets::createColorTexture(width, height, true);
    brightFramebuffer = RenderTargets::createColorFramebuffer(brightTexture.get());
    for (int i = 0; i < 2; ++i) {
        pingpongTextures[i] = RenderTargets::createColorTexture(width, height, true);
        pingpongFramebuffers[i] = RenderTargets::createColorFramebuffer(pingpongTextures[i].get());
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

FloorPasses::~FloorPasses() {
    glDeleteProgram(program);
}

void FloorPasses::draw() {
    drawPasses(0, kPassCount);
}

void FloorPasses::drawPasses(int first, int last) {
    struct Pass {
        GLuint target;
        GLuint source;
        GLbitfield clear;
    };
    // The scene pass reads the last blur result so that every pass reads
    // one full-size texture, as the sky's cube map read does in the game.
    // Only the scene target is cleared: every other pass covers its whole
    // target (the frame clears the window's before it starts).
    const Pass passes[kPassCount] = {
        {sceneFramebuffer.get(), pingpongTextures[1].get(),
         GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT},
        {brightFramebuffer.get(), sceneColorTexture.get(), 0},
        {pingpongFramebuffers[1].get(), brightTexture.get(), 0},
        {pingpongFramebuffers[0].get(), pingpongTextures[1].get(), 0},
        {pingpongFramebuffers[1].get(), pingpongTextures[0].get(), 0},
        {0, pingpongTextures[1].get(), 0},
    };
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glBindVertexArray(quadVertexArray.get());
    glActiveTexture(GL_TEXTURE0);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    for (int i = std::max(first, 0); i < std::min(last, kPassCount); ++i) {
        const Pass& pass = passes[i];
        glBindFramebuffer(GL_FRAMEBUFFER, pass.target);
        if (pass.clear != 0) {
            glClear(pass.clear);
        }
        glBindTexture(GL_TEXTURE_2D, pass.source);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    glEnable(GL_DEPTH_TEST);
    glBindVertexArray(0);
    glUseProgram(0);
}
