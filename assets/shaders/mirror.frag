#version 330 core
// A perfect mirror of the night sky. The sky's cube map is indexed by world
// direction, so the eye ray reflected about the world normal samples it
// directly; the sky is infinitely far away, so parallax is ignored.
in vec3 worldPosition;
in vec3 worldNormal;

uniform samplerCube skybox;
uniform vec3 camera_world;

out vec4 color;

// Stored in the scene target divided by its range (1 unless built with
// SCENE_RANGE: a target of normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

void main() {
    vec3 eyeRay = normalize(worldPosition - camera_world);
    vec3 reflected = reflect(eyeRay, normalize(worldNormal));
    color = vec4(texture(skybox, reflected).rgb / SCENE_RANGE, 1.0);
}
