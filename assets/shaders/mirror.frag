#version 330 core
// A perfect mirror of the night sky. The sky's cube map is indexed by world
// direction, so the eye ray reflected about the world normal samples it
// directly; the sky is infinitely far away, so parallax is ignored.
in vec3 worldPosition;
in vec3 worldNormal;

uniform samplerCube skybox;
uniform vec3 camera_world;

out vec4 color;

void main() {
    vec3 eyeRay = normalize(worldPosition - camera_world);
    vec3 reflected = reflect(eyeRay, normalize(worldNormal));
    color = vec4(texture(skybox, reflected).rgb, 1.0);
}
