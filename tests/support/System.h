#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// What the tests ask of the system beyond the program's platform layer:
// the hostile entries a card may hold, faults to provoke, programs to start.
// Each maker answers false where this system cannot have the thing, and the
// test skips with the reason given beside it.
namespace orvo::test {

// A new empty folder under the system's temporary folder; empty on failure.
std::string MakeTempFolder(std::string_view prefix);

bool MakeFifo(const std::string &path);
inline constexpr char kNoFifos[] = "Windows folders hold no FIFOs";

// A symbolic link at `link` to the file or folder `target`.
bool MakeLink(const std::string &target, const std::string &link);
inline constexpr char kNoLinks[] =
    "this system does not let the test make symbolic links (Windows without developer mode, "
    "Wine)";
// Whether `path` itself is a symbolic link.
bool IsLink(const std::string &path);

// The device that reads as empty ("/dev/null", "NUL").
const char *NullDevice();
// The system's words for a missing file, as the platform layer reports them.
std::string MissingFileText();
// Modification time of `path` in seconds since 1970-01-01 UTC; -1 on error.
std::int64_t ModificationTime(const std::string &path);
// Sets an environment variable (null: removes it) for the C library and the
// system alike.
void SetEnvironment(const char *name, const char *value);

// Makes every file this process writes stop at `bytes`, as a full disk
// would, for the object's life.
class FileSizeLimit {
public:
  explicit FileSizeLimit(std::uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;
  bool Active() const { return active_; }

private:
  bool active_ = false;
  std::uint64_t saved_ = 0;
  void *savedHandler_ = nullptr;
};
// Runs `body` in a copy of this process whose files stop at `bytes`;
// its result, or nothing where processes cannot be copied.
std::optional<int> RunWithFileSizeLimit(std::uint64_t bytes, int (*body)(void *), void *context);
inline constexpr char kNoFileSizeLimit[] =
    "Windows has no per-process file size limit to stand in for a full disk";

// A program started without waiting for it; its output goes nowhere.
class Child {
public:
  Child() = default;
  ~Child();
  Child(const Child &) = delete;
  Child &operator=(const Child &) = delete;
  bool Start(const std::vector<std::string> &argv);
  // Whether it still runs; once it has ended, `status` is its exit status
  // (-1 when it was killed).
  bool Running(int &status);
  int Wait();
  // Ends it at once, as a power cut would end it.
  void Kill();
  // Asks it to stop as Ctrl-C (`terminate`: SIGTERM) would; false where the
  // system has no such request.
  bool Interrupt(bool terminate);

private:
  std::intptr_t handle_ = -1; // pid, or the process HANDLE
};
inline constexpr char kNoSignals[] = "Windows has no signals to interrupt another program with";

// Ends the test program when a test hangs, so a hang is a failure rather
// than a stuck run.
class Watchdog {
public:
  explicit Watchdog(std::chrono::seconds limit);
  ~Watchdog();
  Watchdog(const Watchdog &) = delete;
  Watchdog &operator=(const Watchdog &) = delete;

private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

} // namespace orvo::test
