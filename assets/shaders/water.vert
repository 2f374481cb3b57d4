#version 330 core
// The water grid, waved in place: two travelling sine waves across the
// surface, with the normal taken from their slopes so the moon's glints ride
// the swell. Shares texture.frag with the lit objects.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;

uniform mat4 modelMatrix;
uniform mat4 viewProjMatrix;
uniform mat3 normalMatrix;
uniform float time;
uniform float waveFrequency;  // how fast the crests travel
uniform float waveAmplitude;  // crest height in world units

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;

// Wavelengths of about 110 and 70 units: several grid cells each (the grid
// spacing is about 20 units), so the swell never aliases between vertices.
const vec2 waveA = vec2(0.057, 0.021);
const vec2 waveB = vec2(-0.030, 0.083);
// The texture repeats across the sheet and drifts slowly with the waves.
const float uvRepeat = 40.0;
const vec2 uvDrift = vec2(0.004, 0.0025);

void main() {
    float phaseA = dot(waveA, position.xz) + waveFrequency * time;
    float phaseB = dot(waveB, position.xz) + 1.37 * waveFrequency * time;
    float height = waveAmplitude * (0.6 * sin(phaseA) + 0.4 * sin(phaseB));
    vec2 slope = waveAmplitude * (0.6 * cos(phaseA) * waveA + 0.4 * cos(phaseB) * waveB);

    vec3 waved = position + normal * height;
    vec3 wavedNormal = normalize(vec3(-slope.x, 1.0, -slope.y));

    vec4 world = modelMatrix * vec4(waved, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalMatrix * wavedNormal;
    texCoord = uv * uvRepeat + uvDrift * time;
    gl_Position = viewProjMatrix * world;
}
