#include "support/System.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace orvo::test {

bool MakeFifo(const std::string &path) {
  return mkfifo(path.c_str(), 0600) == 0;
}

bool MakeLink(const std::string &target, const std::string &link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool IsLink(const std::string &path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

const char *NullDevice() {
  return "/dev/null";
}

std::string MissingFileText() {
  return std::strerror(ENOENT);
}

std::int64_t ModificationTime(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_mtime) : -1;
}

void SetEnvironment(const char *name, const char *value) {
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
    return;
  saved_ = limit.rlim_cur;
  // Past the limit a write fails with EFBIG instead of ending the process.
  savedHandler_ = reinterpret_cast<void *>(std::signal(SIGXFSZ, SIG_IGN));
  limit.rlim_cur = bytes;
  active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (!active_)
    return;
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = saved_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, reinterpret_cast<void (*)(int)>(savedHandler_));
}

std::optional<int> RunWithFileSizeLimit(std::uint64_t bytes, int (*body)(void *), void *context) {
  const pid_t child = fork();
  if (child < 0)
    return std::nullopt;
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
      _exit(255);
    _exit(body(context));
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Child::~Child() {
  if (handle_ > 0) {
    Kill();
    Wait();
  }
}

bool Child::Start(const std::vector<std::string> &argv) {
  std::vector<char *> args;
  for (const std::string &a : argv)
    args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  handle_ = rc == 0 ? pid : -1;
  return rc == 0;
}

bool Child::Running(int &status) {
  if (handle_ <= 0)
    return false;
  int ws = 0;
  const pid_t r = waitpid(static_cast<pid_t>(handle_), &ws, WNOHANG);
  if (r == 0)
    return true;
  handle_ = -1;
  status = r > 0 && WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
  return false;
}

int Child::Wait() {
  if (handle_ <= 0)
    return -1;
  int ws = 0;
  pid_t r;
  while ((r = waitpid(static_cast<pid_t>(handle_), &ws, 0)) < 0 && errno == EINTR) {
  }
  handle_ = -1;
  return r > 0 && WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
}

void Child::Kill() {
  if (handle_ > 0)
    kill(static_cast<pid_t>(handle_), SIGKILL);
}

bool Child::Interrupt(bool terminate) {
  return handle_ > 0 && kill(static_cast<pid_t>(handle_), terminate ? SIGTERM : SIGINT) == 0;
}

} // namespace orvo::test
