// Frame-time harness: builds the real level at 1080 by 720 in a real window,
// flies a fixed path with fixed frame times and reports frame, update and
// render times against the floor of six pass-through full-screen passes,
// start-up and restart times and resident memory. Run from the build
// directory (the level opens "../assets/..."):
//   ./veltra_frametime [--frames N] [--json FILE] [--plot FILE.png] [--restarts N]
//                      [--breakdown | --breakdown-only] [--screenshot FRAME]...
//                      [--save-frames DIR | --compare-frames DIR] [--path full|software]
//                      [--bloom-scale 1|2|3|4]
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CpuClock.h"
#include "DrawBreakdown.h"
#include "FlightPath.h"
#include "FloorPasses.h"
#include "FrameComparison.h"
#include "FrameReport.h"
#include "HarnessResults.h"
#include "ProcessMemory.h"
#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Framework.h"
#include "framework/Gl.h"
#include "framework/GlContext.h"
#include "framework/Input.h"
#include "framework/Platform.h"
#include "framework/Screenshot.h"
#include "framework/Settings.h"
#include "framework/SoftwareRenderer.h"
#include "render/Bloom.h"
#include "render/HeadsUpDisplay.h"
#include "render/Material.h"
#include "render/RenderPipeline.h"
#include "world/GameRandom.h"
#include "world/ImagesDecodedAhead.h"
#include "world/SoundEngine.h"
#include "world/WorldManager.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1080;
constexpr int kHeight = 720;
constexpr float kFrameSeconds = 1.0f / 30.0f;
constexpr float kCountdownSeconds = 3.0f;

struct Options {
    int playingFrames = 600;
    int restarts = 4;
    bool breakdown = false;
    // Only the breakdown: the flight up to it is updated but not drawn (for
    // runs under callgrind, where every drawn frame takes seconds).
    bool breakdownOnly = false;
    // Frames (counted from the countdown's first) whose picture is saved as
    // frame_<n>.ppm, to compare the pictures of two builds.
    std::vector<int> screenshotFrames;
    // Every frame's picture saved to, or compared with those saved in, a
    // folder: the second run of a build after a change shows what moved.
    std::string saveFramesDirectory;
    std::string compareFramesDirectory;
    // The glow's scale, as "bloom_scale" sets it; 0: the renderer's choice.
    int bloomScale = 0;
    // The drawing path; automatic: the one the renderer gets in the game.
    DrawingPath path = DrawingPath::Automatic;
    std::string jsonPath = "frametime.json";
    std::string plotPath = "frametime.png";
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) {
            options.playingFrames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--restarts" && hasValue) {
            options.restarts = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--json" && hasValue) {
            options.jsonPath = argv[++i];
        } else if (arg == "--plot" && hasValue) {
            options.plotPath = argv[++i];
        } else if (arg == "--screenshot" && hasValue) {
            options.screenshotFrames.push_back(std::atoi(argv[++i]));
        } else if (arg == "--save-frames" && hasValue) {
            options.saveFramesDirectory = argv[++i];
        } else if (arg == "--compare-frames" && hasValue) {
            options.compareFramesDirectory = argv[++i];
        } else if (arg == "--bloom-scale" && hasValue) {
            options.bloomScale = std::atoi(argv[++i]);
            if (options.bloomScale < 1 || options.bloomScale > kMaxBloomScale) {
                std::cerr << "--bloom-scale takes 1, 2, 3 or 4" << std::endl;
                std::exit(2);
            }
        } else if (arg == "--path" && hasValue) {
            const std::string path = argv[++i];
            if (path != "full" && path != "software") {
                std::cerr << "--path takes full or software" << std::endl;
                std::exit(2);
            }
            options.path = path == "full" ? DrawingPath::Full : DrawingPath::Software;
        } else if (arg == "--breakdown") {
            options.breakdown = true;
        } else if (arg == "--breakdown-only") {
            options.breakdown = true;
            options.breakdownOnly = true;
        } else {
            std::cerr << "Unknown option: " << arg << std::endl;
            std::exit(2);
        }
    }
    return options;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double loadAverage() {
    std::ifstream file("/proc/loadavg");
    double oneMinute = 0.0;
    file >> oneMinute;
    return oneMinute;
}

StartupValues readStartupValues() {
    return startupValuesFrom(readCameraSettings(openSettingsFile(kDefaultCameraSettingsFile)));
}

// The rings are placed from a randomly seeded engine; a fixed seed gives
// every harness run the same level, so runs can be compared.
constexpr uint32_t kRingSeed = 20240611;

Scene assemble(const StartupValues& v) {
    GameRandom::reseedEngine(kRingSeed);
    return assembleScene(v.width, v.height, v.startPosition, v.fov, v.near, v.far, v.moveSpeed,
                         v.rotationSpeed, v.yaw, v.pitch);
}

// The frame of the run loop with the timings taken apart; the state decides
// the render path as in the game. The picture, when one is taken, is read
// between the render and the swap and its time left out of the frame's.
FrameSample playFrame(GLFWwindow* window, Scene& scene, float dt, FramePictures* pictures = nullptr,
                      int index = 0) {
    FrameSample sample;
    const auto start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwPollEvents();

    const double cpuStart = threadCpuMilliseconds();
    const auto updateStart = Clock::now();
    scene.waterMaterial->update(dt);
    scene.worldManager->update(dt, kWidth, kHeight);
    const auto updateEnd = Clock::now();
    sample.updateCpu = threadCpuMilliseconds() - cpuStart;
    sample.update = millisecondsBetween(updateStart, updateEnd);

    WorldManager& world = *scene.worldManager;
    const double renderCpuStart = processCpuMilliseconds();
    if (world.state != GameState::Waiting) {
        scene.renderPipeline->render(world, kWidth, kHeight);
    } else {
        world.getHud()->render(kWidth, kHeight, world);
    }
    glFinish();
    const auto renderEnd = Clock::now();
    sample.render = millisecondsBetween(updateEnd, renderEnd);
    sample.renderCpu = processCpuMilliseconds() - renderCpuStart;
    if (pictures != nullptr) {
        pictures->take(index);
    }

    const auto presentStart = Clock::now();
    glfwSwapBuffers(window);
    const auto presentEnd = Clock::now();
    sample.present = millisecondsBetween(presentStart, presentEnd);
    sample.total = millisecondsBetween(start, renderEnd) + sample.present;
    sample.state = static_cast<int>(world.state);
    return sample;
}

void playFloorFrame(GLFWwindow* window, FloorPasses& floor, FrameSample& sample) {
    const auto start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double cpuStart = processCpuMilliseconds();
    floor.draw();
    glFinish();
    sample.floorCpu = processCpuMilliseconds() - cpuStart;
    glfwSwapBuffers(window);
    sample.floor = millisecondsBetween(start, Clock::now());
}

const char* outcomeName(GameState state) {
    switch (state) {
        case GameState::Waiting:
            return "waiting";
        case GameState::Countdown:
            return "countdown";
        case GameState::Playing:
            return "still flying";
        case GameState::Lost:
            return "lost";
        case GameState::Won:
            return "won";
    }
    return "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    // As the game starts; the times count from the start in large pages.
    platform::restartWithLargePages(argv);
    const auto processStart = Clock::now();
    platform::setLibraryEnvironment();
    const Options options = parseOptions(argc, argv);
    HarnessResults results;
    results.width = kWidth;
    results.height = kHeight;
    results.frameSeconds = kFrameSeconds;
    results.loadAverageStart = loadAverage();

    // Start-up as the game does it: the sound device looked for beside the
    // window, GL entry points, framework check, global states, the first
    // run's level, its first frame.
    const AudioDeviceHold audioDevice;
    const ImagesDecodedAhead firstLevelPictures(levelPictures());
    WindowManager windowManager("Veltra", kWidth, kHeight, false);
    glfwSetErrorCallback(glfwErrorCallback);
    if (!windowManager.init()) {
        std::cerr << "The harness needs a display (run it under xvfb-run)" << std::endl;
        return 1;
    }
    GLFWwindow* window = windowManager.getWindow();
    Input::init(window);
    std::string glewReason;
    if (!loadGlFunctions(glewReason)) {
        std::cerr << "Failed to init GLEW: " << glewReason << std::endl;
        return 1;
    }
    if (!initFramework()) {
        return 1;
    }
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    results.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    chooseDrawingPath(options.path);
    results.softwarePath = drawsSoftwarePath();
    setBloomScaleSetting(options.bloomScale);
    results.bloomScale = chosenBloomScale();

    const StartupValues values = readStartupValues();
    results.residentAtStartMb = currentResidentMegabytes();
    const auto assemblyStart = Clock::now();
    Scene scene = assemble(values);
    results.assemblyMs = millisecondsBetween(assemblyStart, Clock::now());
    results.residentAfterAssemblyMb = currentResidentMegabytes();
    glfwSetWindowTitle(window, kPlayingTitle);
    playFrame(window, scene, 0.0f);
    results.startToFirstFrameMs = millisecondsBetween(processStart, Clock::now());

    std::unique_ptr<FramePictures> pictures;
    if (!options.saveFramesDirectory.empty() || !options.compareFramesDirectory.empty()) {
        const bool saving = !options.saveFramesDirectory.empty();
        pictures = std::make_unique<FramePictures>(
            saving ? FramePictures::Mode::Save : FramePictures::Mode::Compare,
            saving ? options.saveFramesDirectory : options.compareFramesDirectory, kWidth, kHeight);
        if (!pictures->ready()) {
            return 1;
        }
    }

    // Space released on the start screen: the countdown, then the flight.
    auto floorPasses = std::make_unique<FloorPasses>(kWidth, kHeight);
    FloorPasses& floor = *floorPasses;
    FlightPath path;
    scene.worldManager->countdown = kCountdownSeconds;
    scene.worldManager->state = GameState::Countdown;
    const int countdownFrames = static_cast<int>(kCountdownSeconds / kFrameSeconds) + 1;
    const int totalFrames = countdownFrames + options.playingFrames;
    float flightTime = 0.0f;
    for (int i = 0; i < totalFrames; ++i) {
        if (scene.worldManager->state == GameState::Playing) {
            path.steer(flightTime);
            flightTime += kFrameSeconds;
        }
        FrameSample sample;
        if (options.breakdownOnly) {
            scene.waterMaterial->update(kFrameSeconds);
            scene.worldManager->update(kFrameSeconds, kWidth, kHeight);
        } else {
            sample = playFrame(window, scene, kFrameSeconds, pictures.get(), i);
            sample.index = i;
            playFloorFrame(window, floor, sample);
            results.frames.push_back(sample);
        }
        if (std::find(options.screenshotFrames.begin(), options.screenshotFrames.end(), i) !=
            options.screenshotFrames.end()) {
            // What was presented is gone from the back buffer; the same world
            // drawn again gives the same picture.
            scene.renderPipeline->render(*scene.worldManager, kWidth, kHeight);
            saveScreenshot("frame_" + std::to_string(i), kWidth, kHeight);
        }
        if (options.breakdown && i == countdownFrames + options.playingFrames / 2) {
            results.drawCosts = measureDrawCosts(*scene.worldManager, *scene.renderPipeline, &floor,
                                                 options.breakdownOnly ? 3 : 9);
            if (options.breakdownOnly) {
                break;
            }
        }
    }
    path.release();
    results.outcome = outcomeName(scene.worldManager->state);
    results.flyingFrames =
        static_cast<int>(std::count_if(results.frames.begin(), results.frames.end(),
                                       [](const FrameSample& frame) { return frame.state == 2; }));
    results.score = static_cast<int>(scene.worldManager->getScore());
    results.residentAfterFlightMb = currentResidentMegabytes();

    // Restarts as the run loop makes them: the finished run's sounds stop,
    // its scene is dropped (the run loop keeps it only for the loading
    // screen) and a new one is assembled.
    // The floor's targets are the harness's own: gone before the restarts,
    // whose resident memory is the game's.
    floorPasses.reset();
    for (int i = 0; i < options.restarts; ++i) {
        const auto start = Clock::now();
        scene.worldManager->stopSounds();
        scene = Scene{};
        {
            const ImagesDecodedAhead picturesAhead(levelPictures(), kPicturesAheadOnRestart);
            scene = assemble(values);
        }
        glFinish();
        results.restartMs.push_back(millisecondsBetween(start, Clock::now()));
        playFrame(window, scene, kFrameSeconds);
        results.residentAfterRestartMb.push_back(currentResidentMegabytes());
    }
    scene = Scene{};
    results.peakResidentMb = peakResidentMegabytes();
    results.loadAverageEnd = loadAverage();

    if (pictures) {
        results.pictures =
            FramePicturesReport{pictures->getMode(), pictures->getDirectory().string(),
                                pictures->getFramesSaved(), pictures->getSummary()};
    }

    const FlightSummary summary = summariseFlight(results);
    printTable(std::cout, results, summary);
    std::ofstream json(options.jsonPath);
    writeJson(json, results, summary);
    std::cout << "JSON written to " << options.jsonPath << std::endl;
    if (writePlot(options.plotPath, results)) {
        std::cout << "Plot written to " << options.plotPath << std::endl;
    }
    shutdownFramework();
    // A comparison that had nothing to compare with is no result.
    if (results.pictures && results.pictures->summary.framesMissing > 0) {
        return 1;
    }
    return 0;
}
