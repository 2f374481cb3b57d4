#include "render/ThirdPersonCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include "world/PlayableCharacter.h"

ThirdPersonCamera::ThirdPersonCamera(const glm::vec3& position, float fov, float aspect, float near,
                                     float far, float /*moveSpeed*/, float /*rotationSpeed*/,
                                     std::shared_ptr<PlayableCharacter> target)
    : Camera(position, fov, aspect, near, far, -90.0f, 0.0f), target(std::move(target)) {}

glm::mat4 ThirdPersonCamera::viewFromDistance(float distance) const {
    if (!target) {
        return view;
    }
    const glm::vec3 characterPosition = target->getPosition();
    const glm::vec3 characterUp = target->getUp();
    const glm::vec3 eye = characterPosition - distance * target->getDirection() + characterUp;
    const glm::vec3 centre = characterPosition + 0.5f * characterUp;
    return glm::lookAt(eye, centre, up);
}

void ThirdPersonCamera::update(float /*dt*/) {
    setView(viewFromDistance(1.5f));
}

glm::mat4 ThirdPersonCamera::getViewMatrix() const {
    return viewFromDistance(1.0f);
}
