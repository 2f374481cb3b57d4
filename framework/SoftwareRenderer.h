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
