#include "framework/CommandLine.h"

#include <string_view>

void parseCommandLine(CommandLineOptions& options, int argc, const char* const* argv) {
    if (argc < 2 || argv == nullptr) {
        return;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        const bool hasValue = i + 1 < argc && argv[i + 1] != nullptr;
        if (argument == "--run_headless") {
            options.runHeadless = true;
        } else if (argument == "--version") {
            options.versionAsked = true;
        } else if (argument == "--filename") {
            if (hasValue) {
                options.filenameGiven = true;
                options.filename = argv[i + 1];
            }
        } else if (argument == "--init_camera") {
            if (hasValue) {
                options.cameraSettingsGiven = true;
                options.cameraSettingsFile = argv[i + 1];
            }
        } else if (argument == "--records_folder") {
            if (hasValue) {
                options.recordsFolderGiven = true;
                options.recordsFolder = argv[i + 1];
            }
        } else if (argument == "--init_renderer") {
            if (hasValue) {
                options.rendererSettingsGiven = true;
                options.rendererSettingsFile = argv[i + 1];
            }
        }
        // The value is not skipped: the next pass examines it as an option.
    }
}
