#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "TempTree.h"
#include "framework/AssetPath.h"
#include "framework/Platform.h"
#include "framework/Settings.h"
#include "support/PortableTest.h"

namespace {

namespace fs = std::filesystem;

// A folder name a player may well choose: spaces, Greek, Japanese and an
// accented Latin letter, none of which a Western ANSI code page holds whole.
const std::string kWorldlyName =
    "Spiele und Λ\xCE\xBF\xCF\x8D\xCF\x80 \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 caf\xC3\xA9";

TEST(PlatformTest, Utf8NamesSurviveTheTripThroughNativePaths) {
    const fs::path native = platform::pathFromUtf8(kWorldlyName);
    EXPECT_EQ(platform::utf8FromPath(native), kWorldlyName);
    EXPECT_EQ(platform::utf8FromPath(platform::pathFromUtf8("a/b c.txt")), "a/b c.txt");
}

TEST(PlatformTest, OpensFilesWhoseFolderNameHasEveryKindOfLetter) {
    TempTree tree;
    const std::string folder = platform::utf8FromPath(tree.path()) + "/" + kWorldlyName;
    fs::create_directories(platform::pathFromUtf8(folder));
    const std::string file = folder + "/note.txt";

    std::FILE* out = platform::openFile(file, "w");
    ASSERT_NE(out, nullptr);
    std::fputs("written\n", out);
    std::fclose(out);

    // The file is where the name says, seen by the library's own path type.
    EXPECT_TRUE(fs::exists(platform::pathFromUtf8(folder) / "note.txt"));
    std::FILE* in = platform::openFile(file, "r");
    ASSERT_NE(in, nullptr);
    char text[16] = {};
    ASSERT_NE(std::fgets(text, sizeof text, in), nullptr);
    std::fclose(in);
    EXPECT_STREQ(text, "written\n");
    EXPECT_TRUE(fileExists(file));
    EXPECT_EQ(platform::openFile(folder + "/absent.txt", "r"), nullptr);
}

TEST(PlatformTest, AssetsAndSettingsAreFoundBelowAWorldlyFolder) {
    TempTree tree;
    const std::string root = platform::utf8FromPath(tree.path()) + "/" + kWorldlyName;
    const fs::path nativeRoot = platform::pathFromUtf8(root);
    fs::create_directories(nativeRoot / "bin");
    fs::create_directories(nativeRoot / "assets" / "settings");
    std::ofstream(nativeRoot / "assets" / "settings" / "camera_front.ini")
        << "[camera]\nfov = 42\n";
    setAssetSearchStartDirectory(nativeRoot / "bin");

    const std::string found = resolveAssetPath("assets/settings/camera_front.ini");
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(platform::pathFromUtf8(found).lexically_normal(),
              (nativeRoot / "assets" / "settings" / "camera_front.ini").lexically_normal());
    const CameraSettings camera =
        readCameraSettings(openSettingsFile("assets/settings/camera_front.ini"));
    EXPECT_FLOAT_EQ(camera.fov, 42.0f);
}

TEST(PlatformTest, ExecutablePathIsTheRunningTestAndFitsItsBuffer) {
    const fs::path self = platform::executablePath(1337);
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(self.is_absolute());
    EXPECT_TRUE(fs::is_regular_file(self));
    // A buffer that cannot hold the whole path gives no path, never a cut one.
    const size_t length = self.native().size();
    EXPECT_TRUE(platform::executablePath(length).empty());
    EXPECT_EQ(platform::executablePath(length + 1), self);
}

TEST(PlatformTest, ArgumentsArriveAsGiven) {
    const char* argv[] = {"veltra", "--filename", "shot one"};
    const auto arguments = platform::utf8Arguments(3, argv);
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], "--filename");
    EXPECT_EQ(arguments[2], "shot one");
}

TEST(PlatformTest, PicturesGoToAFolderThatExists) {
    const fs::path pictures = platform::picturesDirectory();
    ASSERT_FALSE(pictures.empty());
    EXPECT_TRUE(fs::is_directory(pictures)) << pictures;
}

#ifndef _WIN32
// Saves and restores one environment variable around a test.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
            hadValue = true;
        }
        portable_test::setEnvironment(name, value.c_str());
    }
    ~ScopedVariable() {
        if (hadValue) {
            portable_test::setEnvironment(name, previous.c_str());
        } else {
            unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name;
    std::string previous;
    bool hadValue = false;
};

TEST(PlatformTest, ThePicturesFolderComesFromXdgSettingsElseHome) {
    TempTree tree;
    const fs::path home = tree.makeDirectory("home");
    const fs::path config = tree.makeDirectory("config");
    ScopedVariable homeVariable("HOME", home.string());
    ScopedVariable configVariable("XDG_CONFIG_HOME", config.string());
    ScopedVariable unset("XDG_PICTURES_DIR", "");

    // No settings at all: the home folder.
    EXPECT_EQ(platform::picturesDirectory(), home);
    // The user-dirs file names it relative to $HOME; it counts once it exists.
    tree.write("config/user-dirs.dirs",
               "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
               "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(platform::picturesDirectory(), home) << "the folder does not exist yet";
    const fs::path bilder = tree.makeDirectory("home/Bilder");
    EXPECT_EQ(platform::picturesDirectory(), bilder);
    // The variable wins over the file.
    const fs::path shots = tree.makeDirectory("shots");
    ScopedVariable set("XDG_PICTURES_DIR", shots.string());
    EXPECT_EQ(platform::picturesDirectory(), shots);
}

TEST(PlatformTest, RecordsGoToTheXdgDataFolderElseBelowHome) {
    ScopedVariable homeVariable("HOME", "/home/flyer");
    ScopedVariable relative("XDG_DATA_HOME", "not/absolute");  // ignored, as XDG says
    EXPECT_EQ(platform::playerDataDirectory(), fs::path("/home/flyer/.local/share/veltra"));
    ScopedVariable absolute("XDG_DATA_HOME", "/data");
    EXPECT_EQ(platform::playerDataDirectory(), fs::path("/data/veltra"));
}
#endif

TEST(PlatformTest, ConsoleBreakBecomesACloseRequestInsteadOfEndingTheProgram) {
    platform::installCloseRequestHandlers();
    ASSERT_FALSE(platform::closeRequestReceived());
    if (!portable_test::sendConsoleBreak()) {
        GTEST_SKIP() << "no console to send Ctrl+Break to (wine runs the tests without one)";
    }
    // Windows runs console handlers on a thread of their own: give it time.
    for (int i = 0; i < 500 && !platform::closeRequestReceived(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Still running, and the frame loop would now see the request.
    EXPECT_TRUE(platform::closeRequestReceived());
}

}  // namespace
