#version 330 core
// The cube position is the look-up direction into the sky's cube map.
in vec3 direction;

uniform samplerCube skybox;

out vec4 color;

void main() {
    color = vec4(texture(skybox, direction).rgb, 1.0);
}
