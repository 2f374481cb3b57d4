// The assets folder as a whole: small enough to ship, and exactly what the
// generator recorded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "AssetTestSupport.h"

namespace fs = std::filesystem;

TEST(AssetTree, StaysUnderTenMegabytes) {
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(asset_test::assetPath(""))) {
        if (entry.is_regular_file()) {
            total += entry.file_size();
        }
    }
    EXPECT_LT(total, 10u * 1024u * 1024u);
}

TEST(AssetTree, GeneratedFilesMatchTheGeneratorsChecksums) {
    // tools/assetgen/check.sh --update-sums records them after each run of the
    // generator; an asset changed by hand, or a run whose output was not
    // committed, shows up here.
    if (std::system("command -v sha256sum > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sha256sum is not installed";
    }
    const std::string source = VELTRA_SOURCE_DIR;
    const std::string command = "cd '" + source + "/assets' && sha256sum --quiet -c '" + source +
                                "/tools/assetgen/SHA256SUMS'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}
