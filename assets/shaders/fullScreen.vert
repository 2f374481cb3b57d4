#version 330 core
// The unit quad mapped onto the window by "mvp".
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;

uniform mat4 mvp;

out vec2 texCoord;

void main() {
    texCoord = uv;
    gl_Position = mvp * vec4(position, 0.0, 1.0);
}
