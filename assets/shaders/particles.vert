#version 330 core
// One instance per particle: the unit sphere scaled by the particle's size and
// moved to its centre. The positions are world positions already; no model
// matrix is involved.
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec4 colourAndLife;

uniform mat4 viewProj;

out vec4 particleColour;

void main() {
    particleColour = colourAndLife;
    gl_Position = viewProj * vec4(centreAndSize.xyz + position * centreAndSize.w, 1.0);
}
