#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

// What Linux and Windows do differently, behind one interface; the rest of
// the game has no system headers and no #ifdef of its own.
//
// Paths inside the game are UTF-8 text on every system. Windows keeps file
// names as UTF-16 and its narrow functions (fopen, GetModuleFileNameA) pass
// them through the ANSI code page, which has no room for most letters of the
// world: a folder named in Greek or Japanese would not be found. So names are
// converted here, and files are opened here, by functions that keep every
// letter.
namespace platform {

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// std::fopen for a UTF-8 name.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

// Creates a file that must not exist yet, for writing in binary; null when
// the name is taken (errno EEXIST) or the file cannot be made.
std::FILE* createNewFile(const std::string& utf8Path);

// Gives a file a name that must not exist yet, in one step, so another
// file of that name is never replaced.
enum class MoveResult { moved, nameTaken, failed };
MoveResult moveToNewName(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes what the stream holds through to the disk (fflush, then fsync or
// _commit); false when either fails.
bool flushToDisk(std::FILE* file);

// Puts `from` in the place of `to` in one step, replacing `to` if it
// exists: a reader sees the old file or the new one, never a mix.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// The running executable's full path, asked of the system into a buffer of
// `capacity` characters. Empty when the system cannot say or when the path
// fills the buffer (it may have been cut off).
std::filesystem::path executablePath(size_t capacity);

// The program's arguments as UTF-8 (Windows hands main() ANSI text).
std::vector<std::string> utf8Arguments(int argc, const char* const* argv);

// Sets an environment variable for this process and the libraries it loads,
// unless it is set already (so a player's own setting wins).
void setEnvironmentDefault(const char* name, const char* value);

// Lets the console show UTF-8 text (a no-op where it always does).
void useUtf8Console();

// The local calendar time of `time` (std::localtime without its shared
// buffer).
std::tm localTime(std::time_t time);

// The folder the player started the game from, as the installed game's
// launcher tells it (VELTRA_START_DIR; the launcher itself changes into
// the game's folder); empty when not told, for the working directory.
std::filesystem::path startDirectory();

// Where the player's pictures go: on Linux the XDG pictures folder (from
// XDG_PICTURES_DIR, else ~/.config/user-dirs.dirs), on Windows the Pictures
// known folder; the home folder when that is not set or does not exist.
// Empty when not even a home folder is known.
std::filesystem::path picturesDirectory();

// Where the game keeps the player's own data (best runs): on Linux
// $XDG_DATA_HOME/veltra, else ~/.local/share/veltra; on Windows
// %APPDATA%\VELTRA. Not created here. Empty when no home folder is known.
std::filesystem::path playerDataDirectory();

// With glibc, starts this program again in its place (same process, same
// arguments) with its heap in large pages, unless GLIBC_TUNABLES is set
// already: glibc reads that setting only at start. Where the first touch
// of a page is costly, as in many virtual machines (10 us a page on ours),
// building a level touches tens of thousands of small pages and large ones
// take a tenth of a second off the start. Returns where that cannot be done
// (and always elsewhere). First thing in main, before anything is printed.
// Under valgrind, set GLIBC_TUNABLES so that the measured process is the
// one valgrind started.
void restartWithLargePages(char** argv);

// Sets the environment the libraries read, once, first thing in main,
// before any library starts a thread (changing the environment while other
// threads run is undefined behaviour in glibc): OpenAL Soft's log is kept
// off the console unless the player sets ALSOFT_LOGLEVEL. The game reports
// a missing sound device itself, in one line. With glibc, all threads
// allocate from one heap, and blocks from 16 MB up are always given back to
// the system when freed.
void setLibraryEnvironment();

// Keeps ALSA's error lines off the console on Linux, which it prints for
// every missing card while OpenAL probes; a no-op elsewhere. Changes no
// environment variable, so it may run at any time.
void quietSoundLibraries();

// Loads the system's gamepad library (XInput on Windows) for good, before
// GLFW loads it. GLFW unloads it when it terminates, and wine's XInput
// leaves a thread behind that then runs into the unloaded code: the
// program crashes as it ends. Held here, the library stays mapped. A no-op
// elsewhere.
void keepGamepadLibraryLoaded();

// Lets sleeps end within about a millisecond of their time (Windows
// otherwise wakes a sleeper at its next 16 ms tick); a no-op elsewhere.
void useFineSleep();

// Ctrl+C, a termination request and, on Windows, Ctrl+Break and closing the
// console window set a flag that the frame loop polls, so the program shuts
// down normally and ends with status 0. A second request ends it at once.
void installCloseRequestHandlers();
bool closeRequestReceived();

// The system asks for a pause: in a browser, the page when its tab is
// hidden (it calls veltra_request_pause). Reading the request clears it.
bool takePauseRequest();

// Makes the files written so far outlast the session: in a browser, where
// the player's folder lives in the page's storage, they are copied there
// now; a no-op elsewhere, where files are kept as written.
void keepWrittenFiles();

}  // namespace platform
