#include "app/RenderFlags.h"

#include "framework/Gl.h"

namespace RenderFlags {
namespace {

bool wireframe = false;

}  // namespace

bool isWireframe() {
    return wireframe;
}

void setWireframe(bool enabled) {
    wireframe = enabled;
}

void applyPolygonMode() {
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
}

}  // namespace RenderFlags
