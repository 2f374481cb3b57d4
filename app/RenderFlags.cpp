#include "app/RenderFlags.h"

#include "framework/GlFeatures.h"

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
    glfeatures::setPolygonMode(wireframe);
}

}  // namespace RenderFlags
