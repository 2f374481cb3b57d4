#include "world/GhostGlider.h"

#include "framework/Gl.h"

GhostGlider::GhostGlider(std::shared_ptr<Geometry> geometry, std::shared_ptr<Material> material)
    : GameObject("Ghost", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), std::move(geometry),
                 std::move(material)) {}

void GhostGlider::follow(float flightTime) {
    const std::optional<GhostPose> pose =
        flight != nullptr ? flight->poseAt(flightTime) : std::nullopt;
    onPath = pose.has_value();
    if (onPath) {
        position = pose->position;
        rotation = eulerAnglesOf(pose->orientation);
    }
}

void GhostGlider::update(float /*deltaTime*/) {
    // Placed by follow(). Its collision box is never tested, so it is not
    // moved along.
}

void GhostGlider::draw(std::shared_ptr<Camera> camera,
                       std::shared_ptr<DirectionalLight> directionalLight,
                       std::shared_ptr<PointLight> pointLight) {
    if (!isVisible()) {
        return;
    }
    // Added light: the scene shows through it, and a ghost over a bright
    // ring never darkens it.
    glBlendFunc(GL_ONE, GL_ONE);
    GameObject::draw(std::move(camera), std::move(directionalLight), std::move(pointLight));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
