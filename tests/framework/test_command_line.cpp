#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CommandLine.h"

namespace {

CommandLineOptions parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "veltra");
    CommandLineOptions options;
    parseCommandLine(options, static_cast<int>(arguments.size()), arguments.data());
    return options;
}

TEST(CommandLineTest, NoArgumentsLeavesEverythingUnset) {
    const CommandLineOptions options = parse({});
    EXPECT_FALSE(options.runHeadless);
    EXPECT_FALSE(options.cameraSettingsGiven);
    EXPECT_FALSE(options.rendererSettingsGiven);
    EXPECT_FALSE(options.filenameGiven);
    EXPECT_EQ(options.filename, "");
    EXPECT_EQ(options.cameraSettingsFile, "");
    EXPECT_EQ(options.rendererSettingsFile, "");
}

TEST(CommandLineTest, VersionIsAskedOnlyByItsWholeName) {
    EXPECT_FALSE(parse({}).versionAsked);
    EXPECT_TRUE(parse({"--run_headless", "--version"}).versionAsked);
    EXPECT_FALSE(parse({"--VERSION"}).versionAsked);
    EXPECT_FALSE(parse({"-v"}).versionAsked);
    // As a value it is still examined as an option, like every other word.
    const CommandLineOptions named = parse({"--filename", "--version"});
    EXPECT_EQ(named.filename, "--version");
    EXPECT_TRUE(named.versionAsked);
}

TEST(CommandLineTest, AllFourOptions) {
    const CommandLineOptions options =
        parse({"--filename", "shot", "--run_headless", "--init_camera", "assets/settings/c.ini",
               "--init_renderer", "assets/settings/r.ini"});
    EXPECT_TRUE(options.runHeadless);
    EXPECT_TRUE(options.filenameGiven);
    EXPECT_EQ(options.filename, "shot");
    EXPECT_TRUE(options.cameraSettingsGiven);
    EXPECT_EQ(options.cameraSettingsFile, "assets/settings/c.ini");
    EXPECT_TRUE(options.rendererSettingsGiven);
    EXPECT_EQ(options.rendererSettingsFile, "assets/settings/r.ini");
}

TEST(CommandLineTest, ValueIsAlsoExaminedAsAnOption) {
    const CommandLineOptions options = parse({"--filename", "--run_headless"});
    EXPECT_TRUE(options.filenameGiven);
    EXPECT_EQ(options.filename, "--run_headless");
    EXPECT_TRUE(options.runHeadless);
}

TEST(CommandLineTest, ValueOptionAsLastArgumentIsIgnored) {
    const CommandLineOptions options = parse({"--run_headless", "--init_renderer"});
    EXPECT_TRUE(options.runHeadless);
    EXPECT_FALSE(options.rendererSettingsGiven);
    EXPECT_EQ(options.rendererSettingsFile, "");

    const CommandLineOptions chained = parse({"--init_camera", "--filename"});
    EXPECT_TRUE(chained.cameraSettingsGiven);
    EXPECT_EQ(chained.cameraSettingsFile, "--filename");
    EXPECT_FALSE(chained.filenameGiven);
}

TEST(CommandLineTest, OptionNamesAreCaseSensitiveAndWhole) {
    const CommandLineOptions options =
        parse({"--RUN_HEADLESS", "--run_headless_now", "-run_headless", "--Filename", "x"});
    EXPECT_FALSE(options.runHeadless);
    EXPECT_FALSE(options.filenameGiven);
}

TEST(CommandLineTest, LastOccurrenceWins) {
    const CommandLineOptions options = parse({"--filename", "first", "--filename", "second"});
    EXPECT_EQ(options.filename, "second");
}

TEST(CommandLineTest, UnknownArgumentsAreIgnored) {
    const CommandLineOptions options = parse({"stray", "--verbose", "--init_camera", "c.ini"});
    EXPECT_FALSE(options.runHeadless);
    EXPECT_TRUE(options.cameraSettingsGiven);
    EXPECT_EQ(options.cameraSettingsFile, "c.ini");
}

}  // namespace
