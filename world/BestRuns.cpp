#include "world/BestRuns.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <system_error>

#include "framework/Platform.h"
#include "framework/WholeFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFirstLine = "VELTRA BEST RUNS 1";
constexpr std::string_view kColumnsLine = "# points, seconds left, date";
// Ten records of a few dozen bytes; anything far larger is not ours.
constexpr size_t kMaxFileBytes = 4096;
constexpr int kMaxPoints = 9999;       // what the HUD's four digits show
constexpr int kMaxTenthsLeft = 36000;  // an hour: far past any clock

bool ranksAbove(const RunRecord& a, const RunRecord& b) {
    return a.points != b.points ? a.points > b.points : a.tenthsLeft > b.tenthsLeft;
}

bool readInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() &&
           text.front() != '-' && text.front() != '+';
}

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "2026-12-10": digits where digits go; month and day in range.
bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !isDigits(text.substr(0, 4)) ||
        !isDigits(text.substr(5, 2)) || !isDigits(text.substr(8, 2))) {
        return false;
    }
    int month = 0;
    int day = 0;
    readInt(text.substr(5, 2), month);
    readInt(text.substr(8, 2), day);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// "47.3": whole seconds, a point, one tenth.
bool readTenths(std::string_view text, int& tenths) {
    const size_t point = text.find('.');
    if (point == std::string_view::npos || point + 2 != text.size() || point == 0 || point > 4 ||
        !isDigits(text.substr(0, point)) || !isDigits(text.substr(point + 1))) {
        return false;
    }
    int seconds = 0;
    readInt(text.substr(0, point), seconds);
    tenths = seconds * 10 + (text.back() - '0');
    return tenths <= kMaxTenthsLeft;
}

std::optional<RunRecord> parseRecord(std::string_view line) {
    const size_t first = line.find(' ');
    const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    RunRecord run;
    if (!readInt(line.substr(0, first), run.points) || run.points > kMaxPoints ||
        !readTenths(line.substr(first + 1, second - first - 1), run.tenthsLeft)) {
        return std::nullopt;
    }
    const std::string_view date = line.substr(second + 1);
    if (!isDate(date)) {
        return std::nullopt;
    }
    run.date = std::string(date);
    return run;
}

// The first free name of best-runs.txt.set-aside-N beside the file.
void setAside(const fs::path& file) {
    for (int n = 1; n <= 999; ++n) {
        fs::path aside = file;
        aside += ".set-aside-" + std::to_string(n);
        switch (platform::moveToNewName(file, aside)) {
            case platform::MoveResult::moved:
                std::cerr << "Best runs file is damaged or not VELTRA's, set aside as: "
                          << platform::utf8FromPath(aside) << std::endl;
                return;
            case platform::MoveResult::nameTaken:
                continue;
            case platform::MoveResult::failed:
                break;
        }
        break;
    }
    std::cerr << "Best runs file is damaged or not VELTRA's, and could not be set aside: "
              << platform::utf8FromPath(file) << std::endl;
}

}  // namespace

std::string formatBestRuns(const std::vector<RunRecord>& runs) {
    std::string text;
    text.append(kFirstLine).append("\n").append(kColumnsLine).append("\n");
    for (const RunRecord& run : runs) {
        char line[64];
        std::snprintf(line, sizeof line, "%d %d.%d %s\n", run.points, run.tenthsLeft / 10,
                      run.tenthsLeft % 10, run.date.c_str());
        text += line;
    }
    return text;
}

std::optional<std::vector<RunRecord>> parseBestRuns(std::string_view text) {
    std::vector<RunRecord> runs;
    bool firstLine = true;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);  // a file passed through a Windows editor
        }
        if (firstLine) {
            if (line != kFirstLine) {
                return std::nullopt;
            }
            firstLine = false;
            continue;
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::optional<RunRecord> run = parseRecord(line);
        if (!run) {
            return std::nullopt;
        }
        runs.push_back(*run);
    }
    if (firstLine) {
        return std::nullopt;  // empty: not a file this game wrote
    }
    std::stable_sort(runs.begin(), runs.end(), ranksAbove);
    if (runs.size() > BestRuns::kKept) {
        runs.resize(BestRuns::kKept);
    }
    return runs;
}

std::string bestRunLine(const std::vector<RunRecord>& runs) {
    if (runs.empty()) {
        return "";
    }
    const RunRecord& best = runs.front();
    const int seconds = best.tenthsLeft / 10;
    char line[64];
    std::snprintf(line, sizeof line, "BEST: %04d POINTS %02d:%02d LEFT", best.points, seconds / 60,
                  seconds % 60);
    return line;
}

std::string todaysDate() {
    const std::tm local = platform::localTime(std::time(nullptr));
    char date[40];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return date;
}

BestRuns BestRuns::open(const fs::path& folder) {
    BestRuns records;
    records.recordsFolder = folder;
    const fs::path file = folder / kFileName;
    std::string text;
    switch (readWholeFile(file, kMaxFileBytes, text)) {
        case ReadResult::missing:
            return records;
        case ReadResult::failed:
            std::cerr << "Failed to read best runs file: " << platform::utf8FromPath(file)
                      << std::endl;
            return records;
        case ReadResult::tooLarge:
            setAside(file);
            return records;
        case ReadResult::read:
            break;
    }
    if (std::optional<std::vector<RunRecord>> runs = parseBestRuns(text)) {
        records.kept = std::move(*runs);
    } else {
        setAside(file);
    }
    return records;
}

int BestRuns::add(const RunRecord& run) {
    // After every equal run: the earlier one keeps its place.
    const auto place =
        std::upper_bound(kept.begin(), kept.end(), run,
                         [](const RunRecord& a, const RunRecord& b) { return ranksAbove(a, b); });
    const size_t rank = static_cast<size_t>(place - kept.begin()) + 1;
    if (rank > kKept) {
        return 0;
    }
    kept.insert(place, run);
    if (kept.size() > kKept) {
        kept.pop_back();
    }
    return static_cast<int>(rank);
}

bool BestRuns::save() const {
    if (recordsFolder.empty()) {
        return false;
    }
    if (!replaceWholeFile(recordsFolder / kFileName, formatBestRuns(kept))) {
        std::cerr << "Failed to save best runs in: " << platform::utf8FromPath(recordsFolder)
                  << std::endl;
        return false;
    }
    return true;
}
