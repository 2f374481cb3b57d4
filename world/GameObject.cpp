#include "world/GameObject.h"

#include <algorithm>
#include <cmath>

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

#include "framework/Shader.h"
#include "render/Camera.h"
#include "render/Geometry.h"
#include "render/Lights.h"
#include "render/Material.h"
#include "render/ViewFrustum.h"

namespace {

// Vertex stages may move vertices a little (the water's waves lift them by
// half a unit): bounds tested against the view are widened by this much.
constexpr float kVertexMotionMargin = 1.0f;

}  // namespace

GameObject::GameObject(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                       const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                       std::shared_ptr<Material> material)
    : name(std::move(name)),
      position(position),
      rotation(rotation),
      scale(scale),
      geometry(std::move(geometry)),
      material(std::move(material)) {
    if (!this->geometry) {
        return;
    }
    // Half-extents equal to the full mesh extent: the box spans twice the
    // mesh's bounding box, which makes touching the player forgiving. The
    // drawing scale is not applied.
    const glm::vec3 extent = this->geometry->getExtent();
    collisionShape = std::make_shared<btBoxShape>(btVector3(extent.x, extent.y, extent.z));
    collisionObject = std::make_shared<btCollisionObject>();
    collisionObject->setCollisionShape(collisionShape.get());
    // The rotation reaches the collision object at the first update.
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(btVector3(position.x, position.y, position.z));
    collisionObject->setWorldTransform(transform);
    collisionObject->forceActivationState(DISABLE_DEACTIVATION);
}

GameObject::~GameObject() {
    // The object refers to the shape, so it goes first.
    collisionObject.reset();
    collisionShape.reset();
}

void GameObject::update(float /*deltaTime*/) {
    if (!collisionObject) {
        return;
    }
    // Rz(z) * Ry(y) * Rx(x), the same orientation the model matrix draws.
    btTransform transform;
    transform.getBasis().setEulerZYX(rotation.x, rotation.y, rotation.z);
    transform.setOrigin(btVector3(position.x, position.y, position.z));
    collisionObject->setWorldTransform(transform);
}

glm::mat4 GameObject::getModelMatrix() const {
    // glm's Euler quaternion is Rz(z) * Ry(y) * Rx(x).
    const glm::mat4 rotationMatrix = glm::mat4_cast(glm::quat(rotation));
    return glm::scale(glm::translate(glm::mat4(1.0f), position) * rotationMatrix, scale);
}

glm::mat4 GameObject::getDrawnModelMatrix(const glm::vec3& eye) const {
    const glm::mat4 model = getModelMatrix();
    if (sizeHeldBeyond <= 0.0f) {
        return model;
    }
    const float distance = glm::length(position - eye);
    if (distance <= sizeHeldBeyond) {
        return model;
    }
    return glm::scale(model, glm::vec3(distance / sizeHeldBeyond));
}

void GameObject::draw(std::shared_ptr<Camera> camera,
                      std::shared_ptr<DirectionalLight> directionalLight,
                      std::shared_ptr<PointLight> pointLight) {
    if (!material || !material->getShader() || !camera) {
        return;
    }
    const glm::mat4 viewProjection = camera->getViewProjectionMatrix();
    const glm::mat4 model = getDrawnModelMatrix(camera->getEye());
    const ViewFrustum frustum(viewProjection);
    if (!isInView(frustum, model)) {
        return;
    }
    Shader& shader = *material->getShader();
    shader.use();
    shader.setMat4("viewProjMatrix", viewProjection);
    shader.setVec3("camera_world", camera->getEye());
    if (directionalLight) {
        shader.setVec3("dirL.color", directionalLight->color);
        shader.setVec3("dirL.direction", directionalLight->direction);
    }
    if (pointLight) {
        shader.setVec3("pointL.color", pointLight->color);
        shader.setVec3("pointL.position", pointLight->position);
        shader.setVec3("pointL.attenuation", pointLight->attenuation);
    }
    shader.setMat4("modelMatrix", model);
    shader.setMat3("normalMatrix", glm::mat3(glm::transpose(glm::inverse(model))));
    material->setUniforms();
    if (geometry) {
        geometry->drawInView(model, frustum, camera->getEye(), kVertexMotionMargin);
    }
}

bool GameObject::isInView(const ViewFrustum& frustum, const glm::mat4& model) const {
    if (!geometry || geometry->getBoundsRadius() < 0.0f) {
        return true;
    }
    // The mesh's bounding sphere in world space: the longest axis of the
    // model matrix scales the radius, whatever the turn.
    const glm::vec3 centre = glm::vec3(model * glm::vec4(geometry->getBoundsCentre(), 1.0f));
    const float radius = geometry->getBoundsRadius() * largestScale(model) + kVertexMotionMargin;
    return frustum.intersectsSphere(centre, radius);
}

void GameObject::setCollisionScale(float s) {
    if (!collisionShape || !collisionObject) {
        return;
    }
    collisionShape->setLocalScaling(btVector3(s, s, s));
    collisionObject->setCollisionShape(collisionShape.get());
}

glm::vec3 eulerAnglesOf(const glm::quat& q) {
    const float pitchY = 2.0f * (q.y * q.z + q.w * q.x);
    const float pitchX = q.w * q.w - q.x * q.x - q.y * q.y + q.z * q.z;
    constexpr float kEpsilon = 1.1920929e-7f;
    const float x = (std::abs(pitchX) <= kEpsilon && std::abs(pitchY) <= kEpsilon)
                        ? 2.0f * std::atan2(q.x, q.w)
                        : std::atan2(pitchY, pitchX);
    const float y = std::asin(std::clamp(-2.0f * (q.x * q.z - q.w * q.y), -1.0f, 1.0f));
    const float z =
        std::atan2(2.0f * (q.x * q.y + q.w * q.z), q.w * q.w + q.x * q.x - q.y * q.y - q.z * q.z);
    return {x, y, z};
}
