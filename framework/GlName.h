#pragma once

#include <cstdint>
#include <utility>

// One OpenGL name and the one place it is deleted. A class that makes GL
// objects holds them in these owners: its destructor and moves need no
// code of their own, and a name is deleted exactly once, when its owner
// goes or is given another name. Name 0 is no object and is never deleted.
template <void (*Delete)(uint32_t)>
class GlName {
  public:
    GlName() = default;
    explicit GlName(uint32_t name) : name(name) {}
    ~GlName() { reset(); }

    GlName(GlName&& other) noexcept : name(std::exchange(other.name, 0)) {}
    GlName& operator=(GlName&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.name, 0));
        }
        return *this;
    }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;

    uint32_t get() const { return name; }
    explicit operator bool() const { return name != 0; }
    // Deletes the object held (if any) and holds `newName` instead.
    void reset(uint32_t newName = 0) {
        if (name != 0) {
            Delete(name);
        }
        name = newName;
    }

  private:
    uint32_t name = 0;
};

namespace gl_names {
void deleteBuffer(uint32_t name);
void deleteVertexArray(uint32_t name);
void deleteTexture(uint32_t name);
void deleteFramebuffer(uint32_t name);
void deleteProgram(uint32_t name);
}  // namespace gl_names

using GlBuffer = GlName<&gl_names::deleteBuffer>;
using GlVertexArray = GlName<&gl_names::deleteVertexArray>;
using GlTexture = GlName<&gl_names::deleteTexture>;
using GlFramebuffer = GlName<&gl_names::deleteFramebuffer>;
// Filled from glCreateProgram by the Shader that links it.
using GlProgram = GlName<&gl_names::deleteProgram>;

// Fresh names from glGen* (a current context is needed).
GlBuffer generateBuffer();
GlVertexArray generateVertexArray();
GlTexture generateTexture();
GlFramebuffer generateFramebuffer();
