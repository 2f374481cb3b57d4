// The best runs: how won runs rank, and what happens to the file they are
// kept in when it is written, interrupted, damaged or cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "world/BestRuns.h"

namespace fs = std::filesystem;

namespace {

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / "veltra_best_runs" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(BestRuns, PointsRankFirstThenTimeLeftAndOnlyTenAreKept) {
    BestRuns records;
    EXPECT_EQ(records.add({5, 300, "2026-12-01"}), 1);
    EXPECT_EQ(records.add({7, 100, "2026-12-02"}), 1);  // more points beat more time
    EXPECT_EQ(records.add({5, 400, "2026-12-03"}), 2);  // same points, more time left
    EXPECT_EQ(records.add({5, 400, "2026-12-04"}), 3);  // a tie goes behind the earlier run
    EXPECT_EQ(records.runs()[1].date, "2026-12-03");
    for (int i = 0; i < 6; ++i) {
        records.add({9, i, "2026-12-05"});
    }
    ASSERT_EQ(records.runs().size(), BestRuns::kKept);
    EXPECT_EQ(records.add({0, 0, "2026-12-06"}), 0);  // below all ten: not a record
    EXPECT_EQ(records.runs().back().points, 5);
    EXPECT_EQ(bestRunLine(records.runs()), "BEST: 0009 POINTS 00:00 LEFT");
    EXPECT_EQ(bestRunLine({{12, 655, "2026-12-07"}}), "BEST: 0012 POINTS 01:05 LEFT");
    EXPECT_EQ(bestRunLine({}), "");
}

TEST(BestRuns, SavedRunsComeBackInAReadableFile) {
    const fs::path folder = freshFolder("saved") / "not yet made";
    BestRuns records = BestRuns::open(folder);
    EXPECT_TRUE(records.runs().empty());
    records.add({12, 473, "2026-12-10"});
    records.add({3, 9, "2026-12-09"});
    ASSERT_TRUE(records.save());

    EXPECT_EQ(contents(folder / "best-runs.txt"),
              "VELTRA BEST RUNS 1\n# points, seconds left, date\n12 47.3 2026-12-10\n"
              "3 0.9 2026-12-09\n");
    const BestRuns again = BestRuns::open(folder);
    ASSERT_EQ(again.runs().size(), 2u);
    EXPECT_EQ(again.runs()[0].tenthsLeft, 473);
    EXPECT_EQ(again.runs()[1].date, "2026-12-09");
}

// A crash after the new file was written and before it was renamed leaves
// the old file as it was; the next save goes through.
TEST(BestRuns, AnInterruptedSaveLeavesTheOldFileWhole) {
    const fs::path folder = freshFolder("interrupted");
    BestRuns records = BestRuns::open(folder);
    records.add({4, 100, "2026-12-08"});
    ASSERT_TRUE(records.save());
    const std::string before = contents(folder / "best-runs.txt");
    write(folder / "best-runs.txt.partial", "VELTRA BEST RUNS 1\n9 12");  // cut off

    BestRuns reopened = BestRuns::open(folder);
    EXPECT_EQ(contents(folder / "best-runs.txt"), before);
    ASSERT_EQ(reopened.runs().size(), 1u);
    reopened.add({9, 120, "2026-12-10"});
    ASSERT_TRUE(reopened.save());
    EXPECT_FALSE(fs::exists(folder / "best-runs.txt.partial"));
    EXPECT_EQ(BestRuns::open(folder).runs().front().points, 9);
}

TEST(BestRuns, ADamagedOrForeignFileIsSetAsideAndPlayGoesOnWithoutRecords) {
    const fs::path folder = freshFolder("damaged");
    const fs::path file = folder / "best-runs.txt";
    write(file, "VELTRA BEST RUNS 1\n12 47.3 2026-13-10\n");  // no thirteenth month
    EXPECT_TRUE(BestRuns::open(folder).runs().empty());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(contents(folder / "best-runs.txt.set-aside-1"),
              "VELTRA BEST RUNS 1\n12 47.3 2026-13-10\n");

    write(file, "<html>not ours</html>");
    EXPECT_TRUE(BestRuns::open(folder).runs().empty());
    EXPECT_TRUE(fs::exists(folder / "best-runs.txt.set-aside-1"));  // the first one kept
    EXPECT_EQ(contents(folder / "best-runs.txt.set-aside-2"), "<html>not ours</html>");

    write(file, std::string(100000, '7'));  // far larger than ten records
    EXPECT_TRUE(BestRuns::open(folder).runs().empty());
    EXPECT_TRUE(fs::exists(folder / "best-runs.txt.set-aside-3"));
}

TEST(BestRuns, OnlyTextThisGameWritesIsRead) {
    EXPECT_TRUE(parseBestRuns("VELTRA BEST RUNS 1\r\n# a note\r\n\r\n7 0.0 2026-01-31\r\n"));
    for (const char* text :
         {"", "VELTRA BEST RUNS 2\n", "veltra best runs 1\n",
          "VELTRA BEST RUNS 1\n-1 1.0 2026-01-01\n", "VELTRA BEST RUNS 1\n10000 1.0 2026-01-01\n",
          "VELTRA BEST RUNS 1\n1 1 2026-01-01\n", "VELTRA BEST RUNS 1\n1 99999.0 2026-01-01\n",
          "VELTRA BEST RUNS 1\n1 1.0 2026-1-01\n", "VELTRA BEST RUNS 1\n1 1.0\n",
          "VELTRA BEST RUNS 1\n1 1.0 2026-01-01 extra\n"}) {
        EXPECT_FALSE(parseBestRuns(text)) << text;
    }
}

TEST(BestRuns, AFolderThatCannotBeWrittenIsReportedAndNothingIsLost) {
    const fs::path blocker = freshFolder("unwritable") / "a file, not a folder";
    write(blocker, "x");
    BestRuns records = BestRuns::open(blocker);
    EXPECT_EQ(records.add({3, 30, "2026-12-10"}), 1);
    EXPECT_FALSE(records.save());
    EXPECT_EQ(records.runs().size(), 1u);  // still shown for this session
    EXPECT_EQ(contents(blocker), "x");
}

}  // namespace
