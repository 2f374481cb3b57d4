#include "framework/SoftwareRenderer.h"

#include "framework/GlFeatures.h"

namespace {

DrawingPath chosenPath = DrawingPath::Automatic;

}  // namespace

bool isSoftwareRendererName(std::string_view renderer) {
    for (const std::string_view name : {"llvmpipe", "softpipe", "SwiftShader"}) {
        if (renderer.find(name) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool isSoftwareRenderer() {
    return isSoftwareRendererName(glfeatures::rendererName());
}

void chooseDrawingPath(DrawingPath path) {
    chosenPath = path;
}

bool drawsSoftwarePath() {
    if (chosenPath == DrawingPath::Automatic) {
        return isSoftwareRenderer();
    }
    return chosenPath == DrawingPath::Software;
}
