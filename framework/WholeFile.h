#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Files read and written whole: the player's records, the headless frames.

enum class ReadResult { read, missing, tooLarge, failed };

// Reads the file into `bytes` when it holds at most maxBytes; a larger file
// is refused before its contents are kept.
ReadResult readWholeFile(const std::filesystem::path& path, size_t maxBytes, std::string& bytes);

// Makes the file's folder if need be, writes `bytes` to path + ".partial",
// through to the disk, then renames it
// over `path` in one step: a crash or a close at any moment leaves the old
// file or the new one whole, at worst with a stale ".partial" beside it that
// the next write replaces. False when any step fails (the partial file is
// removed again).
bool replaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

// What every replacement shares: `write` fills a new file, path +
// ".partial" opened with `mode`, which is then renamed over `path` in one
// step; with throughToDisk it is flushed to the disk first. On any failure
// the partial file is removed again. The folder must exist.
enum class ReplaceResult { replaced, notCreated, notWritten };
ReplaceResult replaceFileFrom(const std::filesystem::path& path, const char* mode,
                              bool throughToDisk, const std::function<bool(std::FILE*)>& write);
