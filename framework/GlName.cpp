#include "framework/GlName.h"

#include "framework/Gl.h"

namespace gl_names {

void deleteBuffer(uint32_t name) {
    glDeleteBuffers(1, &name);
}

void deleteVertexArray(uint32_t name) {
    glDeleteVertexArrays(1, &name);
}

void deleteTexture(uint32_t name) {
    glDeleteTextures(1, &name);
}

void deleteFramebuffer(uint32_t name) {
    glDeleteFramebuffers(1, &name);
}

void deleteProgram(uint32_t name) {
    glDeleteProgram(name);
}

}  // namespace gl_names

GlBuffer generateBuffer() {
    GLuint name = 0;
    glGenBuffers(1, &name);
    return GlBuffer(name);
}

GlVertexArray generateVertexArray() {
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    return GlVertexArray(name);
}

GlTexture generateTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return GlTexture(name);
}

GlFramebuffer generateFramebuffer() {
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    return GlFramebuffer(name);
}
