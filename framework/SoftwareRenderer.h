#pragma once

#include <string_view>

// Whether OpenGL is drawn by the CPU (Mesa's llvmpipe or softpipe, Google's
// SwiftShader), as for players without a graphics card, in virtual machines
// and on remote desktops. Such a renderer pays in instructions for work a
// graphics card does in fixed hardware, decoding compressed textures above
// all, so the game stores some resources differently there; what the player
// sees stays the same.
bool isSoftwareRendererName(std::string_view renderer);

// The same for the current context's GL_RENDERER (false without one).
bool isSoftwareRenderer();

// Where the game draws some things more cheaply than the full path, close to
// but not exactly as it looks on a graphics card: the glow at a third of the
// resolution (unless "bloom_scale" says otherwise), textures read from one
// mipmap level instead of blended between two, the back faces of the hills
// and of the glider left out before they are rasterized, the moon lit per
// vertex on the land and the models (on the water, all but its glints), the
// water under the hills left out, a float depth buffer, the water's
// highlight by squaring and the scene in 16-bit normalized colour.
// Automatic: on a CPU rasterizer.
// The frame-time harness chooses a path to compare the two.
enum class DrawingPath { Automatic, Full, Software };
void chooseDrawingPath(DrawingPath path);
// The path chosen, or isSoftwareRenderer() where it is Automatic.
bool drawsSoftwarePath();
