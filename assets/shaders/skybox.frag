#version 330 core
// The cube position is the look-up direction into the sky's cube map.
in vec3 direction;

uniform samplerCube skybox;

out vec4 color;

// Stored in the scene target divided by its range (1 unless built with
// SCENE_RANGE: a target of normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

void main() {
    color = vec4(texture(skybox, direction).rgb / SCENE_RANGE, 1.0);
}
