#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One won run, as the records keep it.
struct RunRecord {
    int points = 0;
    int tenthsLeft = 0;  // time left on the clock, in tenths of a second
    std::string date;    // the local day it was flown, YYYY-MM-DD
};

// The ten best won runs: most points first, then most time left; of two
// equal runs the earlier stays ahead. Kept in a plain text file a player can
// read ("best-runs.txt"), replaced whole on every save.
class BestRuns {
  public:
    static constexpr size_t kKept = 10;
    static constexpr const char* kFileName = "best-runs.txt";

    // No folder: records held for this session only, never read or written.
    BestRuns() = default;

    // Reads folder/best-runs.txt. A missing file means no records yet. A
    // damaged or foreign file is named on one line, renamed aside (never
    // deleted) and play goes on with no records.
    static BestRuns open(const std::filesystem::path& folder);

    // Where `run` ranks once kept (1 is the best), or 0 when it is not among
    // the ten.
    int add(const RunRecord& run);

    // Writes the records to a temporary file and renames it over the old
    // one, so a crash or a close leaves either file whole. False, with one
    // line, when the folder cannot be written; play goes on.
    bool save() const;

    const std::vector<RunRecord>& runs() const { return kept; }
    const std::filesystem::path& folder() const { return recordsFolder; }

  private:
    std::filesystem::path recordsFolder;
    std::vector<RunRecord> kept;
};

// The file's text, and back: nullopt for a text this game did not write (a
// wrong first line, a malformed or out-of-range record). Runs come out
// ranked and at most kKept of them.
std::string formatBestRuns(const std::vector<RunRecord>& runs);
std::optional<std::vector<RunRecord>> parseBestRuns(std::string_view text);

// "BEST: 0012 POINTS 01:05 LEFT" for the start screen; empty with no runs.
std::string bestRunLine(const std::vector<RunRecord>& runs);

// Today's local date as a record keeps it.
std::string todaysDate();
