#pragma once

#include <string>

// What the command line asked for. Unknown arguments are ignored.
struct CommandLineOptions {
    bool runHeadless = false;
    bool versionAsked = false;
    bool cameraSettingsGiven = false;
    bool rendererSettingsGiven = false;
    bool filenameGiven = false;
    bool recordsFolderGiven = false;
    std::string filename;
    std::string recordsFolder;
    std::string cameraSettingsFile;
    std::string rendererSettingsFile;
};

// Options are matched whole and case-sensitively: "--version",
// "--run_headless",
// "--filename NAME", "--init_camera FILE", "--init_renderer FILE",
// "--records_folder FOLDER". A value is
// itself examined as an option too, so "--filename --run_headless" names the
// file "--run_headless" and turns headless mode on. An option that takes a
// value but comes last has nothing to read and is ignored. Prints nothing.
void parseCommandLine(CommandLineOptions& options, int argc, const char* const* argv);
