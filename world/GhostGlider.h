#pragma once

#include <memory>

#include "world/GameObject.h"
#include "world/GhostFlight.h"

// The best flight flown again: the player's glider, drawn translucent along
// a recorded path in step with the run's clock. It is never tested for
// contact (the contact rules know only rings, obstacles, land and goal).
class GhostGlider : public GameObject {
  public:
    GhostGlider(std::shared_ptr<Geometry> geometry, std::shared_ptr<Material> material);

    // The path to fly; none: nothing is drawn.
    void setFlight(std::shared_ptr<const GhostFlight> path) { flight = std::move(path); }
    bool hasFlight() const { return flight != nullptr; }

    // Places the glider where the path was at flightTime; off the path
    // (before the flight, after its end, or a negative time) it is not drawn.
    void follow(float flightTime);
    // G: the player may hide the ghost and show it again.
    void toggleShown() { shown = !shown; }
    void setShown(bool show) { shown = show; }
    bool isShown() const { return shown; }
    // Whether it will draw this frame.
    bool isVisible() const { return shown && onPath; }

    bool isTranslucent() const override { return true; }
    void update(float deltaTime) override;
    void draw(std::shared_ptr<Camera> camera, std::shared_ptr<DirectionalLight> directionalLight,
              std::shared_ptr<PointLight> pointLight) override;

  private:
    std::shared_ptr<const GhostFlight> flight;
    bool shown = true;
    bool onPath = false;
};
