#pragma once

// The program-wide render flag: the wireframe flag, set from the renderer
// settings at start-up and toggled by F1.
namespace RenderFlags {

bool isWireframe();
void setWireframe(bool enabled);

// Applies the flag to both faces' polygon mode (lines or filled). Needs a
// current OpenGL context.
void applyPolygonMode();

}  // namespace RenderFlags
