#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "TempTree.h"
#include "framework/AssetPath.h"
#include "framework/Platform.h"

namespace {

// A found path as the asset search writes it: the system's own separators.
std::string native(std::filesystem::path path) {
    return platform::utf8FromPath(path.make_preferred());
}

// Text matched as itself inside a death test's regular expression (Windows
// paths are full of backslashes).
std::string regexLiteral(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (std::string_view("\\.()[]{}*+?^$|").find(c) != std::string_view::npos) {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

class AssetPathTest : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(AssetPathTest, ClimbsFromNestedBuildDirectoryToSourceRoot) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    const auto asset = tree.write("assets/settings/camera_front.ini", "[camera]\n");
    setAssetSearchStartDirectory(tree.makeDirectory("build/bin"));

    EXPECT_EQ(resolveAssetPath("assets/settings/camera_front.ini"), native(asset));
}

TEST_F(AssetPathTest, StartDirectoryWithTrailingSeparatorIsOneLevel) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    const auto asset = tree.write("build/assets/settings/camera_front.ini", "[camera]\n");
    setAssetSearchStartDirectory(tree.makeDirectory("build").string() + "/");

    EXPECT_EQ(resolveAssetPath("assets/settings/camera_front.ini"), native(asset));
}

TEST_F(AssetPathTest, MissingAssetGivesEmptyString) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    setAssetSearchStartDirectory(tree.makeDirectory("build"));

    EXPECT_EQ(resolveAssetPath("assets/settings/nothing_here.ini"), "");
}

TEST_F(AssetPathTest, StopsAtFirstDirectoryHoldingCMakeLists) {
    TempTree tree;
    // The asset lies above the first CMakeLists.txt, so it is out of reach.
    tree.write("assets/shaders/above.vert");
    tree.write("project/CMakeLists.txt");
    const auto inner = tree.write("project/assets/shaders/inner.vert");
    setAssetSearchStartDirectory(tree.makeDirectory("project/build"));

    EXPECT_EQ(resolveAssetPath("assets/shaders/above.vert"), "");
    EXPECT_EQ(resolveAssetPath("assets/shaders/inner.vert"), native(inner));
}

TEST_F(AssetPathTest, CMakeListsBesideExecutableLimitsSearchToThatDirectory) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    tree.write("assets/a.txt");
    tree.write("bin/CMakeLists.txt");
    const auto local = tree.write("bin/assets/b.txt");
    setAssetSearchStartDirectory(tree / "bin");

    EXPECT_EQ(resolveAssetPath("assets/a.txt"), "");
    EXPECT_EQ(resolveAssetPath("assets/b.txt"), native(local));
}

TEST_F(AssetPathTest, WithoutCMakeListsClimbsToFileSystemRoot) {
    TempTree tree;
    setAssetSearchStartDirectory(tree.makeDirectory("a/b/c"));
    const auto asset = tree.write("a/assets/deep.txt");

    EXPECT_EQ(resolveAssetPath("assets/deep.txt"), native(asset));
    EXPECT_EQ(resolveAssetPath("assets/veltra-no-such-file-anywhere.txt"), "");
}

TEST_F(AssetPathTest, DirectoryIsNotAFile) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    tree.makeDirectory("assets/shaders/folder.vert");
    setAssetSearchStartDirectory(tree.path());

    EXPECT_EQ(resolveAssetPath("assets/shaders/folder.vert"), "");
    EXPECT_FALSE(fileExists((tree / "assets/shaders/folder.vert").string()));
}

TEST_F(AssetPathTest, BackslashSeparatorsAreAccepted) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    const auto asset = tree.write("assets/settings/x.ini");
    setAssetSearchStartDirectory(tree.makeDirectory("build"));

    EXPECT_EQ(resolveAssetPath("assets\\settings\\x.ini"), native(asset));
}

TEST_F(AssetPathTest, AbsoluteNameIsCheckedOnceAsItStands) {
    TempTree tree;
    const auto asset = tree.write("somewhere/file.txt");
    setAssetSearchStartDirectory(tree.makeDirectory("x/y/z"));

    // Found once, not once per level climbed (which would be "ambiguous").
    EXPECT_EQ(resolveAssetPath(asset.string()), native(asset));
    EXPECT_EQ(resolveAssetPath((tree / "somewhere/missing.txt").string()), "");
}

TEST_F(AssetPathTest, FileExistsForReadableFileOnly) {
    TempTree tree;
    const auto file = tree.write("plain.txt", "x");
    EXPECT_TRUE(fileExists(file.string()));
    EXPECT_FALSE(fileExists((tree / "absent.txt").string()));
    EXPECT_FALSE(fileExists(tree.path().string()));
}

TEST_F(AssetPathTest, WithoutOverrideSearchStartsAtTheTestExecutable) {
    // The test binary lives in the build tree below the source root, so the
    // real assets tree is found by climbing.
    setAssetSearchStartDirectory({});
    const std::string found = resolveAssetPath("CMakeLists.txt");
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(
        std::filesystem::equivalent(found, std::string(VELTRA_SOURCE_DIR) + "/CMakeLists.txt"));
}

TEST_F(AssetPathTest, DuplicateAssetIsFatalAndListsCandidatesNearestFirst) {
    TempTree tree;
    tree.write("CMakeLists.txt");
    const auto far = tree.write("assets/dup.txt");
    const auto near = tree.write("build/bin/assets/dup.txt");
    setAssetSearchStartDirectory(tree / "build/bin");

    const std::string expected =
        "Ambiguous asset file path: 'assets/dup.txt'Found this path at multiple locations\\. "
        "Don't know which one shall be used\\. Candidates are:\n"
        "  - " +
        regexLiteral(native(near)) + "\n  - " + regexLiteral(native(far)) +
        "\nRemove all duplicates to fix this!\n";
    EXPECT_FATAL_EXIT(resolveAssetPath("assets/dup.txt"), expected);
}

}  // namespace
