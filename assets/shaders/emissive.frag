#version 330 core
// Glowing surfaces. The colour is pushed well above 1 in the float scene
// target so the bloom's bright pass (cut at 0.5) takes most of it.
in vec3 worldPosition;
in vec3 worldNormal;

uniform vec3 emissiveColor;
uniform vec3 camera_world;

out vec4 color;

const float glowStrength = 2.2;
const float rimStrength = 1.2;

void main() {
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(camera_world - worldPosition);
    // Both sides of a thin ring glow alike, hence the absolute value.
    float rim = 1.0 - abs(dot(n, toEye));
    color = vec4(emissiveColor * (glowStrength + rimStrength * rim * rim), 1.0);
}
