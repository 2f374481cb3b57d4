#pragma once

#include <memory>

struct GLFWwindow;
class Camera;
class PlayableCharacter;
class WindowManager;
class WorldManager;

// The global keys, each acting when it is released: Escape asks the window
// to close, F1 toggles wireframe, Space starts the countdown / pauses and
// resumes / asks for a restart, Enter toggles fullscreen, 1 switches
// between the debug and the third-person camera while playing. Called once
// per frame. An empty world manager leaves only Escape, F1 and Enter.
void processInput(GLFWwindow* window, WindowManager& windowManager,
                  std::shared_ptr<WorldManager> worldManager,
                  std::shared_ptr<PlayableCharacter> player, std::shared_ptr<Camera> debugCamera,
                  std::shared_ptr<Camera> thirdPersonCamera, bool* restart);
