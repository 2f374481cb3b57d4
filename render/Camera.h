#pragma once

#include <glm/glm.hpp>

// View and projection for every drawing path. Angles are degrees.
class Camera {
  public:
    virtual ~Camera() = default;

    // Recomputes the stored view and view-projection (dt unused here).
    virtual void update(float dt);
    virtual glm::mat4 getViewMatrix() const = 0;
    virtual glm::mat4 getProjectionMatrix() const;

    // Projection times the stored view.
    glm::mat4 getViewProjectionMatrix() const { return projection * view; }
    glm::vec3 getPosition() const { return position; }

    // Rebuilds projection and view-projection. A ratio that is zero or not
    // finite (a minimised window) keeps the previous projection.
    void setAspectRatio(float aspect);
    void setYaw(float yaw);
    void setPitch(float pitch);  // clamped to [-89, 89]

    float getYaw() const { return yaw; }
    float getPitch() const { return pitch; }
    float getAspectRatio() const { return aspect; }
    glm::vec3 getFront() const { return front; }
    glm::vec3 getUp() const { return up; }
    glm::vec3 getRight() const { return right; }
    const glm::mat4& getStoredView() const { return view; }
    // The point the stored view looks from, kept with it: a chase camera's
    // position field is not its eye.
    const glm::vec3& getEye() const { return eye; }
    const glm::mat4& getStoredProjection() const { return projection; }

  protected:
    Camera(const glm::vec3& position, float fov, float aspect, float near, float far, float yaw,
           float pitch);

    // right and up from front and worldUp; front is left as it is.
    void updateCameraVectors();
    // Stores a new view with its view-projection and eye.
    void setView(const glm::mat4& newView);

    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    glm::mat4 viewProjection{1.0f};
    glm::vec3 eye{0.0f};
    glm::vec3 worldUp{0.0f, 1.0f, 0.0f};
    glm::vec3 position;
    glm::vec3 front{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::vec3 right{1.0f, 0.0f, 0.0f};
    float yaw;
    float pitch;
    float fov;
    float aspect;
    float near;
    float far;
};
