#pragma once

struct GLFWwindow;
class WindowManager;
struct Scene;

// The two halves of a frame that do not touch the clock or the window's
// buffers, so that tests can drive the level with fixed frame times and
// held keys exactly as the run loop drives it.

// Advances one frame of dt seconds: the global keys, the water's wave time
// and the world update at the frame size the level was built for (width by
// height, whatever the window's size is now). A Space released after an
// outcome sets *restart.
void stepFrame(Scene& scene, float dt, int width, int height, GLFWwindow* window,
               WindowManager& windowManager, bool* restart);

// Draws the frame by the world's state: the render pipeline outside Waiting;
// in Waiting only the HUD, which shows the tutorial picture, at the size of
// the window's framebuffer.
void drawFrame(Scene& scene, GLFWwindow* window);
