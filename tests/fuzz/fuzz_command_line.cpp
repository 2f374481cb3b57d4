// The command-line parser on arbitrary argument lists (the input split at
// NUL bytes, the first piece being the program name), checked against what
// the options promise: whole, case-sensitive names; the last value wins; an
// option with nothing after it is ignored; nothing else changes anything.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CommandLine.h"

namespace {

struct Expected {
    bool given = false;
    std::string value;
};

Expected lastValueOf(const std::vector<std::string>& args, std::string_view option) {
    Expected expected;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == option) {
            expected.given = true;
            expected.value = args[i + 1];
        }
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);

    CommandLineOptions options;
    parseCommandLine(options, static_cast<int>(args.size()), argv.data());

    bool headless = false;
    for (size_t i = 1; i < args.size(); ++i) {
        headless = headless || args[i] == "--run_headless";
    }
    const Expected filename = lastValueOf(args, "--filename");
    const Expected camera = lastValueOf(args, "--init_camera");
    const Expected renderer = lastValueOf(args, "--init_renderer");
    const Expected records = lastValueOf(args, "--records_folder");
    if (options.runHeadless != headless || options.filenameGiven != filename.given ||
        options.filename != filename.value || options.cameraSettingsGiven != camera.given ||
        options.cameraSettingsFile != camera.value ||
        options.rendererSettingsGiven != renderer.given ||
        options.rendererSettingsFile != renderer.value ||
        options.recordsFolderGiven != records.given || options.recordsFolder != records.value) {
        __builtin_trap();
    }
    return 0;
}
