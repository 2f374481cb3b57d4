#version 330 core
// The sky cube around the eye. The view carries rotation only, and depth is
// forced to the far plane (z = w), so the sky sits behind everything and is
// never clipped by the far plane, whatever the cube's size.
layout(location = 0) in vec3 position;

uniform mat4 view;
uniform mat4 projection;

out vec3 direction;

void main() {
    direction = position;
    vec4 clip = projection * view * vec4(position, 1.0);
    gl_Position = clip.xyww;
}
