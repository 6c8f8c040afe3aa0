#include "media/Process.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace orvo::media {

namespace {

std::string SlurpAndRemove(const std::string &path) {
  std::string content;
  if (FILE *f = std::fopen(path.c_str(), "rb")) {
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
      content.append(buf, n);
    std::fclose(f);
  }
  unlink(path.c_str());
  return content;
}

// Output goes to temporary files rather than pipes so that a chatty child
// can never block on a full pipe while we wait for it.
std::string TempName() {
  char name[] = "/tmp/orvo-proc-XXXXXX";
  int fd = mkstemp(name);
  if (fd >= 0)
    close(fd);
  return name;
}

} // namespace

int RunProcess(const std::vector<std::string> &argv, std::string *out, std::string *err) {
  if (argv.empty())
    return -1;
  std::vector<char *> args;
  for (const auto &a : argv)
    args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);

  const std::string outName = out ? TempName() : std::string();
  const std::string errName = err ? TempName() : std::string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out ? outName.c_str() : "/dev/null",
                                   O_WRONLY | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err ? errName.c_str() : "/dev/null",
                                   O_WRONLY | O_TRUNC, 0600);
  pid_t pid;
  int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = -1;
  if (rc == 0) {
    int ws = 0;
    while (waitpid(pid, &ws, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
  }
  if (out)
    *out = SlurpAndRemove(outName);
  if (err)
    *err = SlurpAndRemove(errName);
  return status;
}

} // namespace orvo::media
