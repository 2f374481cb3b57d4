#pragma once

#include <memory>
#include <string>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

class btBoxShape;
class btCollisionObject;
class Camera;
class Geometry;
class Material;
class ViewFrustum;
struct DirectionalLight;
struct PointLight;

// Base of everything that stands in the level. Rotation holds Euler angles
// in radians with R = Rz(z) * Ry(y) * Rx(x). The collision box spans twice
// the mesh extent on each axis and ignores the drawing scale.
class GameObject {
  public:
    GameObject(std::string name, const glm::vec3& position, const glm::vec3& rotation,
               const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
               std::shared_ptr<Material> material);
    virtual ~GameObject();

    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Copies position and rotation into the collision object.
    virtual void update(float deltaTime);
    // Drawn after the sky, blended over what is solid, without writing depth.
    virtual bool isTranslucent() const { return false; }
    // Sets the object's and the lights' uniforms, the material's, and draws
    // the mesh; an object wholly outside the camera's view is skipped before
    // any of that (it could not colour a pixel).
    virtual void draw(std::shared_ptr<Camera> camera,
                      std::shared_ptr<DirectionalLight> directionalLight,
                      std::shared_ptr<PointLight> pointLight);

    const std::string& getName() const { return name; }
    glm::vec3 getPosition() const { return position; }
    void setPosition(const glm::vec3& newPosition) { position = newPosition; }
    glm::vec3 getRotation() const { return rotation; }
    glm::vec3 getScale() const { return scale; }
    const std::shared_ptr<btCollisionObject>& getCollisionObject() const { return collisionObject; }
    const std::shared_ptr<Geometry>& getGeometry() const { return geometry; }
    const std::shared_ptr<Material>& getMaterial() const { return material; }

    // Uniform scaling of the collision box.
    void setCollisionScale(float s);

    // Beyond this distance from the eye the object is drawn larger, keeping
    // the size on screen it has at that distance, so a small object far off
    // stays as many pixels wide as it is there; its collision keeps its true
    // size. Zero (the default): always drawn at its true size.
    void setSizeHeldBeyond(float distance) { sizeHeldBeyond = distance; }
    // The model matrix drawn for an eye at the given point.
    glm::mat4 getDrawnModelMatrix(const glm::vec3& eye) const;

    // T(position) * R(rotation) * S(scale).
    glm::mat4 getModelMatrix() const;

  protected:
    // Whether the mesh's bounding sphere, placed by the model matrix, reaches
    // into the view; true for an object without a mesh.
    bool isInView(const ViewFrustum& frustum, const glm::mat4& model) const;

    std::string name;
    glm::vec3 position;
    glm::vec3 rotation;
    glm::vec3 scale;
    std::shared_ptr<Geometry> geometry;
    std::shared_ptr<Material> material;
    std::shared_ptr<btCollisionObject> collisionObject;
    std::shared_ptr<btBoxShape> collisionShape;
    float sizeHeldBeyond = 0.0f;
};

// The Euler angles (x, y, z), R = Rz(z) * Ry(y) * Rx(x), of a unit quaternion:
// the rotation a GameObject holds for that orientation.
glm::vec3 eulerAnglesOf(const glm::quat& q);
