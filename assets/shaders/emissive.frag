#version 330 core
// Glowing surfaces. The colour is pushed well above 1 in the float scene
// target so the bloom's bright pass (cut at 0.5) takes most of it.
in vec3 worldPosition;
in vec3 worldNormal;

uniform vec3 emissiveColor;
uniform vec3 camera_world;
// From x to y units from the eye the glow dims to z times the colour; no
// dimming where y is not beyond x.
uniform vec3 glowFade;

out vec4 color;

// Stored in the scene target divided by its range (1 unless built with
// SCENE_RANGE: a target of normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

const float glowStrength = 2.2;
const float rimStrength = 1.2;

void main() {
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(camera_world - worldPosition);
    // Both sides of a thin ring glow alike, hence the absolute value.
    float rim = 1.0 - abs(dot(n, toEye));
    float strength = glowStrength + rimStrength * rim * rim;
    if (glowFade.y > glowFade.x) {
        float far = smoothstep(glowFade.x, glowFade.y, distance(camera_world, worldPosition));
        strength = mix(strength, glowFade.z, far);
    }
    color = vec4(emissiveColor * strength / SCENE_RANGE, 1.0);
}
