#version 330 core
// The mirror sphere: world position and normal for the reflection.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 modelMatrix;
uniform mat4 viewProjMatrix;
uniform mat3 normalMatrix;

out vec3 worldPosition;
out vec3 worldNormal;

void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalMatrix * normal;
    gl_Position = viewProjMatrix * world;
}
