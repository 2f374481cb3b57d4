#version 330 core
// Full-screen quad: positions already in clip space.
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;

out vec2 texCoord;

void main() {
    texCoord = uv;
    gl_Position = vec4(position, 0.0, 1.0);
}
