#version 330 core
// Glowing particles: the colour is pushed above 1 so that the bloom's bright
// pass picks it up, and both brightness and opacity fade with the particle's
// remaining life.
in vec4 particleColour;

out vec4 fragColor;

// Stored in the scene target divided by its range (1 unless built with
// SCENE_RANGE: a target of normalized colour, which ends at 1).
#ifndef SCENE_RANGE
#define SCENE_RANGE 1.0
#endif

const float glowStrength = 2.5;

void main() {
    float lifeFraction = clamp(particleColour.a, 0.0, 1.0);
    vec3 glow = particleColour.rgb * glowStrength * (0.4 + 0.6 * lifeFraction);
    fragColor = vec4(glow / SCENE_RANGE, lifeFraction);
}
