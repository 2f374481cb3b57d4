#version 330 core
// One glyph: the unit quad placed and sized by "model" in window pixels.
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;

uniform mat4 projection;
uniform mat4 model;

out vec2 cellUv;

void main() {
    cellUv = uv;
    gl_Position = projection * model * vec4(position, 0.0, 1.0);
}
