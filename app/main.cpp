#include <iostream>
#include <string>
#include <vector>

#include "app/CloseRequest.h"
#include "app/RenderFlags.h"
#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/CommandLine.h"
#include "framework/DebugOutput.h"
#include "framework/FrameLoop.h"
#include "framework/Framework.h"
#include "framework/Gl.h"
#include "framework/GlContext.h"
#include "framework/GlFeatures.h"
#include "framework/Input.h"
#include "framework/Platform.h"
#include "framework/Screenshot.h"
#include "framework/Settings.h"
#include "render/Bloom.h"
#include "world/BestRuns.h"
#include "world/ImagesDecodedAhead.h"
#include "world/SoundEngine.h"

namespace {

constexpr int32_t kWindowWidth = 1080;
constexpr int32_t kWindowHeight = 720;

// A failed start-up keeps the console readable until a character arrives.
// The window manager is destroyed on the way out and tolerates GLFW being
// terminated already.
int failStartup(WindowManager& windowManager, const std::string& message) {
    windowManager.terminate();
    std::cout << "ERROR: " << message << std::endl;
    std::cin.get();
    return 1;
}

void applyRenderSettings(const RendererSettings& renderer) {
    if (renderer.depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (renderer.backfaceCulling) {
        glEnable(GL_CULL_FACE);
    }
    if (RenderFlags::isWireframe()) {
        RenderFlags::applyPolygonMode();
    }
    if (renderer.vsync.has_value()) {
        glfwSwapInterval(*renderer.vsync ? 1 : 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Before the graphics driver or the sound library starts a thread.
    platform::restartWithLargePages(argv);
    platform::setLibraryEnvironment();
    platform::useUtf8Console();

    // File names given on the command line keep every letter on every system.
    const std::vector<std::string> arguments = platform::utf8Arguments(argc, argv);
    std::vector<const char*> argumentPointers;
    for (const std::string& argument : arguments) {
        argumentPointers.push_back(argument.c_str());
    }
    CommandLineOptions options;
    parseCommandLine(options, static_cast<int>(argumentPointers.size()), argumentPointers.data());
    if (options.versionAsked) {
        std::cout << "VELTRA " << VELTRA_VERSION << std::endl;
        return 0;
    }

    std::cout << ":::::: WELCOME TO VELTRA ::::::" << std::endl;
    installCloseSignalHandlers();
    // Looked for and decoded beside the window's creation; the device is
    // kept open across restarts, the pictures go to the first level.
    const AudioDeviceHold audioDevice;
    const ImagesDecodedAhead firstLevelPictures(levelPictures());

    WindowManager windowManager("Veltra", kWindowWidth, kWindowHeight, false);

    const INIReader cameraReader =
        openSettingsFile(options.cameraSettingsGiven ? options.cameraSettingsFile
                                                     : std::string(kDefaultCameraSettingsFile));
    const CameraSettings camera = readCameraSettings(cameraReader);
    const INIReader rendererReader =
        openSettingsFile(options.rendererSettingsGiven ? options.rendererSettingsFile
                                                       : std::string(kDefaultRendererSettingsFile));
    const RendererSettings renderer = readRendererSettings(rendererReader);
    RenderFlags::setWireframe(renderer.wireframe);
    setBloomScaleSetting(renderer.bloomScale);

    glfwSetErrorCallback(glfwErrorCallback);
    if (!windowManager.init()) {
        return failStartup(windowManager, "Failed to init WindowManager");
    }
    std::cout << "WindowManager was initialized." << std::endl;
    GLFWwindow* window = windowManager.getWindow();
    Input::init(window);

    std::string glewReason;
    if (!loadGlFunctions(glewReason)) {
        return failStartup(windowManager, "Failed to init GLEW: " + glewReason);
    }
    std::cout << "GLEW was initialized." << std::endl;

    glfeatures::enableDebugOutput(debugCallback);

    if (!initFramework()) {
        return failStartup(windowManager, "Failed to init framework");
    }
    std::cout << "Framework was initialized." << std::endl;
    if (!glfeatures::hasFloatColorTargets()) {
        return failStartup(windowManager,
                           "This renderer cannot draw into float textures "
                           "(EXT_color_buffer_float), which the game's glow needs");
    }

    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    applyRenderSettings(renderer);

    StartupValues values = startupValuesFrom(camera);
    values.maxFps = renderer.maxFps;
    const std::string givenName = options.filenameGiven ? options.filename : "screenshot";
    const std::string screenshotName =
        options.runHeadless ? headlessFrameName(givenName, platform::startDirectory(),
                                                platform::picturesDirectory())
                            : givenName;

    // Headless runs neither read nor write records, so their frames are the
    // same wherever they run.
    std::shared_ptr<BestRuns> bestRuns;
    if (!options.runHeadless) {
        bestRuns = std::make_shared<BestRuns>(BestRuns::open(
            options.recordsFolderGiven ? platform::pathFromUtf8(options.recordsFolder)
                                       : platform::playerDataDirectory()));
    }
    // F12's pictures go where the player keeps pictures, never into the
    // game's own folder, which an installed game cannot write.
    RunLoop runLoop(window, windowManager, options.runHeadless, screenshotName,
                    platform::picturesDirectory(), values, bestRuns);
    runFrames([&runLoop] { return runLoop.step(); },
              [&runLoop] {
                  runLoop.releaseKeptHandles();
                  shutdownFramework();
              });
    // The settings readers go next and the window manager last, as locals
    // declared in the opposite order.
    return 0;
}
