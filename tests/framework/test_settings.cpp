#include <string>

#include <gtest/gtest.h>

#include "TempTree.h"
#include "framework/Settings.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// A source root with the given settings file below assets/settings, searched
// from a build directory beneath it.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.write("CMakeLists.txt");
        setAssetSearchStartDirectory(tree.makeDirectory("build"));
    }
    void writeSettings(const std::string& name, const std::string& content) {
        tree.write("assets/settings/" + name, content);
    }
    TempTree tree;
};

TEST_F(SettingsTest, MissingCameraFileReportsOnceAndGivesDefaults) {
    CaptureStdout();
    const INIReader reader = openSettingsFile("assets/settings/camera_front.ini");
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Failed to load 'assets/settings/camera_front.ini'. Using default values "
              "instead.\n");
    EXPECT_LT(reader.ParseError(), 0);

    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(camera.near, 0.1f);
    EXPECT_FLOAT_EQ(camera.moveSpeed, 15.0f);
    EXPECT_FLOAT_EQ(camera.rotationSpeed, 10.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 0.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 0.0f);

    const RendererSettings renderer = readRendererSettings(reader);
    EXPECT_FALSE(renderer.wireframe);
    EXPECT_FALSE(renderer.backfaceCulling);
    EXPECT_TRUE(renderer.depthTest);
}

TEST_F(SettingsTest, ErrorLineNamesTheRelativeNameAsGiven) {
    CaptureStdout();
    openSettingsFile("assets/settings/does_not_exist.ini");
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Failed to load 'assets/settings/does_not_exist.ini'. Using default values "
              "instead.\n");
}

TEST_F(SettingsTest, FoundFileIsReadSilently) {
    writeSettings("camera_front.ini",
                  "[camera]\nfov = 75\nnear = 0.5\nmove_speed = 20\nrotation_speed = 5\n"
                  "yaw = -90\npitch = 12.5\n");
    CaptureStdout();
    const INIReader reader = openSettingsFile("assets/settings/camera_front.ini");
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(reader.ParseError(), 0);

    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_FLOAT_EQ(camera.fov, 75.0f);
    EXPECT_FLOAT_EQ(camera.near, 0.5f);
    EXPECT_FLOAT_EQ(camera.moveSpeed, 20.0f);
    EXPECT_FLOAT_EQ(camera.rotationSpeed, 5.0f);
    EXPECT_FLOAT_EQ(camera.yaw, -90.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 12.5f);
}

TEST_F(SettingsTest, NamesAndBooleanWordsIgnoreCase) {
    writeSettings("r.ini", "[RENDERER]\nWIREFRAME = YES\nBackface_Culling = On\n");
    const RendererSettings renderer =
        readRendererSettings(openSettingsFile("assets/settings/r.ini"));
    EXPECT_TRUE(renderer.wireframe);
    EXPECT_TRUE(renderer.backfaceCulling);
    EXPECT_TRUE(renderer.depthTest);
}

TEST_F(SettingsTest, NumberWithTrailingTextKeepsTheNumber) {
    writeSettings("c.ini", "[camera]\nfov = 75degrees\nnear = abc\n");
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    CaptureStdout();
    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_FLOAT_EQ(camera.fov, 75.0f);
    EXPECT_FLOAT_EQ(camera.near, 0.1f);  // nothing numeric: default, with a word
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Invalid camera setting 'near' = 'abc'. Using the default value 0.1 "
              "instead.\n");
}

TEST_F(SettingsTest, CameraValuesAViewCannotUseAreNamedAndReplacedByTheirDefaults) {
    writeSettings("c.ini",
                  "[camera]\nfov = 180\nnear = 5000\nmove_speed = inf\nrotation_speed = nan\n"
                  "yaw = -1e999\npitch = 1e39\n");
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    CaptureStdout();
    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Invalid camera setting 'fov' = '180'. Using the default value 60 instead.\n"
              "ERROR: Invalid camera setting 'near' = '5000'. Using the default value 0.1 "
              "instead.\n"
              "ERROR: Invalid camera setting 'move_speed' = 'inf'. Using the default value 15 "
              "instead.\n"
              "ERROR: Invalid camera setting 'rotation_speed' = 'nan'. Using the default value 10 "
              "instead.\n"
              "ERROR: Invalid camera setting 'yaw' = '-1e999'. Using the default value 0 "
              "instead.\n"
              "ERROR: Invalid camera setting 'pitch' = '1e39'. Using the default value 0 "
              "instead.\n");
    const CameraSettings defaults;
    EXPECT_FLOAT_EQ(camera.fov, defaults.fov);
    EXPECT_FLOAT_EQ(camera.near, defaults.near);
    EXPECT_FLOAT_EQ(camera.moveSpeed, defaults.moveSpeed);
    EXPECT_FLOAT_EQ(camera.rotationSpeed, defaults.rotationSpeed);
    EXPECT_FLOAT_EQ(camera.yaw, defaults.yaw);
    EXPECT_FLOAT_EQ(camera.pitch, defaults.pitch);
}

TEST_F(SettingsTest, CameraValuesJustInsideTheirRangesAreKeptSilently) {
    writeSettings("c.ini",
                  "[camera]\nfov = 179.5\nnear = 4999\nmove_speed = -3\nrotation_speed = 0\n"
                  "yaw = 720\npitch = -400\n");
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    CaptureStdout();
    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_FLOAT_EQ(camera.fov, 179.5f);
    EXPECT_FLOAT_EQ(camera.near, 4999.0f);
    EXPECT_FLOAT_EQ(camera.moveSpeed, -3.0f);
    EXPECT_FLOAT_EQ(camera.rotationSpeed, 0.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 720.0f);
    EXPECT_FLOAT_EQ(camera.pitch, -400.0f);  // the camera holds pitch within its limits
}

TEST_F(SettingsTest, ALongUnusableValueIsNamedByItsStart) {
    writeSettings("c.ini", "[camera]\nfov = " + std::string(5000, '7') + "\n");
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    CaptureStdout();
    EXPECT_FLOAT_EQ(readCameraSettings(reader).fov, 60.0f);
    EXPECT_EQ(GetCapturedStdout(), "ERROR: Invalid camera setting 'fov' = '" +
                                       std::string(32, '7') +
                                       "...'. Using the default value 60 instead.\n");
}

TEST_F(SettingsTest, VsyncAndFrameCapAreReadLikeTheOtherRendererKeys) {
    writeSettings("none.ini", "[renderer]\nwireframe = false\n");
    writeSettings("on.ini", "[renderer]\nvsync = on\nmax_fps = 30\n");
    writeSettings("off.ini", "[renderer]\nvsync = false\nmax_fps = 0\n");
    writeSettings("odd.ini", "[renderer]\nvsync = sometimes\nmax_fps = 0.001\n");
    const RendererSettings none =
        readRendererSettings(openSettingsFile("assets/settings/none.ini"));
    EXPECT_FALSE(none.vsync.has_value()) << "absent: the driver's default";
    EXPECT_EQ(none.maxFps, 0.0f);
    const RendererSettings on = readRendererSettings(openSettingsFile("assets/settings/on.ini"));
    EXPECT_EQ(on.vsync, std::optional<bool>(true));
    EXPECT_EQ(on.maxFps, 30.0f);
    const RendererSettings off = readRendererSettings(openSettingsFile("assets/settings/off.ini"));
    EXPECT_EQ(off.vsync, std::optional<bool>(false));
    EXPECT_EQ(off.maxFps, 0.0f);

    const INIReader odd = openSettingsFile("assets/settings/odd.ini");
    CaptureStdout();
    const RendererSettings oddSettings = readRendererSettings(odd);
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Invalid renderer setting 'vsync' = 'sometimes'. Using the driver's own "
              "swap interval instead.\n"
              "ERROR: Invalid renderer setting 'max_fps' = '0.001'. Using the default value 0 "
              "instead.\n");
    EXPECT_FALSE(oddSettings.vsync.has_value()) << "no boolean: as if absent";
    EXPECT_EQ(oddSettings.maxFps, 0.0f);
}

TEST_F(SettingsTest, FrameCapsOutsideWhatAPlayerCouldMeanAreNamed) {
    for (const char* cap : {"9.9", "1000.5", "-5", "1e-12", "sixty"}) {
        writeSettings("cap.ini", std::string("[renderer]\nmax_fps = ") + cap + "\n");
        const INIReader reader = openSettingsFile("assets/settings/cap.ini");
        CaptureStdout();
        EXPECT_EQ(readRendererSettings(reader).maxFps, 0.0f) << cap;
        EXPECT_EQ(GetCapturedStdout(),
                  std::string("ERROR: Invalid renderer setting 'max_fps' = '") + cap +
                      "'. Using the default value 0 instead.\n");
    }
    for (const char* cap : {"10", "1000", "144"}) {
        writeSettings("cap.ini", std::string("[renderer]\nmax_fps = ") + cap + "\n");
        const INIReader reader = openSettingsFile("assets/settings/cap.ini");
        CaptureStdout();
        EXPECT_EQ(readRendererSettings(reader).maxFps, std::stof(cap));
        EXPECT_EQ(GetCapturedStdout(), "") << cap;
    }
}

TEST_F(SettingsTest, BloomScaleTakesOneToFourAndNamesAnythingElse) {
    for (const char* scale : {"1", "2", "3", "4"}) {
        writeSettings("glow.ini", std::string("[renderer]\nbloom_scale = ") + scale + "\n");
        const INIReader reader = openSettingsFile("assets/settings/glow.ini");
        CaptureStdout();
        EXPECT_EQ(readRendererSettings(reader).bloomScale, std::stoi(scale));
        EXPECT_EQ(GetCapturedStdout(), "") << scale;
    }
    for (const char* scale : {"0", "2.5", "8", "half"}) {
        writeSettings("glow.ini", std::string("[renderer]\nbloom_scale = ") + scale + "\n");
        const INIReader reader = openSettingsFile("assets/settings/glow.ini");
        CaptureStdout();
        EXPECT_EQ(readRendererSettings(reader).bloomScale, 0) << "the renderer chooses";
        EXPECT_EQ(GetCapturedStdout(),
                  std::string("ERROR: Invalid renderer setting 'bloom_scale' = '") + scale +
                      "'. Using the renderer's own choice instead.\n");
    }
}

TEST_F(SettingsTest, DepthTestWordsAndGarbage) {
    writeSettings("garbage.ini", "[renderer]\ndepthtest = maybe\nwireframe = YES\n");
    writeSettings("zero.ini", "[renderer]\ndepthtest = 0\nwireframe = off\n");
    const INIReader garbage = openSettingsFile("assets/settings/garbage.ini");
    CaptureStdout();
    EXPECT_TRUE(readRendererSettings(garbage).depthTest);
    EXPECT_EQ(GetCapturedStdout(),
              "ERROR: Invalid renderer setting 'depthtest' = 'maybe'. Using the default value "
              "true instead.\n");
    const INIReader zeroReader = openSettingsFile("assets/settings/zero.ini");
    CaptureStdout();
    const RendererSettings zero = readRendererSettings(zeroReader);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_FALSE(zero.depthTest);
    EXPECT_FALSE(zero.wireframe);
}

TEST_F(SettingsTest, KeyBeforeAnySectionHasNoEffect) {
    writeSettings("c.ini", "fov = 90\n[camera]\nnear = 1\n");
    const CameraSettings camera = readCameraSettings(openSettingsFile("assets/settings/c.ini"));
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(camera.near, 1.0f);
}

TEST_F(SettingsTest, MalformedLinesAreSkippedSilently) {
    writeSettings("c.ini", "[camera]\nfov = 80\nthis line has no separator\n[broken\nyaw = 15\n");
    CaptureStdout();
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_GT(reader.ParseError(), 0);  // the first bad line's number
    const CameraSettings camera = readCameraSettings(reader);
    EXPECT_FLOAT_EQ(camera.fov, 80.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 15.0f);
}

TEST_F(SettingsTest, KeysOfTheOtherSectionAreNotRead) {
    writeSettings("c.ini", "[renderer]\nfov = 30\n[camera]\nwireframe = true\n");
    const INIReader reader = openSettingsFile("assets/settings/c.ini");
    EXPECT_FLOAT_EQ(readCameraSettings(reader).fov, 60.0f);
    EXPECT_FALSE(readRendererSettings(reader).wireframe);
}

TEST_F(SettingsTest, ShippedSettingsFilesAreFoundAndComplete) {
    setAssetSearchStartDirectory(VELTRA_SOURCE_DIR);
    CaptureStdout();
    const INIReader camera = openSettingsFile(kDefaultCameraSettingsFile);
    const INIReader renderer = openSettingsFile(kDefaultRendererSettingsFile);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(camera.ParseError(), 0);
    EXPECT_EQ(renderer.ParseError(), 0);
    for (const char* key : {"fov", "near", "move_speed", "rotation_speed", "yaw", "pitch"}) {
        EXPECT_TRUE(camera.HasValue("camera", key)) << key;
    }
    for (const char* key : {"wireframe", "backface_culling", "depthtest"}) {
        EXPECT_TRUE(renderer.HasValue("renderer", key)) << key;
    }
}

}  // namespace
