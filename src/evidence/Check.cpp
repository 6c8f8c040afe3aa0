#include "evidence/Check.h"

#include "engine/ClipCheck.h"
#include "engine/VideoFileTest.h"
#include "evidence/Files.h"
#include "evidence/Package.h"
#include "platform/FileSystem.h"
#include "platform/Sha256.h"

#include <map>

namespace orvo::evidence {

namespace {

// A path inside the package: relative, "/" between names, none of them
// empty, "." or "..".
bool InsidePath(const std::string &path) {
  if (path.empty() || path.front() == '/' || path.find('\\') != std::string::npos ||
      path.find(':') != std::string::npos)
    return false;
  std::size_t from = 0;
  for (;;) {
    const std::size_t slash = path.find('/', from);
    const std::string name = path.substr(from, slash - from);
    if (name.empty() || name == "." || name == "..")
      return false;
    if (slash == std::string::npos)
      return true;
    from = slash + 1;
  }
}

} // namespace

CheckResult CheckPackage(const std::string &folder, const std::atomic<bool> &cancel) {
  CheckResult r;
  const std::string root = platform::WithSeparator(folder);
  std::string sums;
  if (!platform::ReadWholeFile(root + kSumsFile, sums)) {
    r.problems.push_back(root + kSumsFile + ": cannot be read");
    return r;
  }
  // "<64 hex digits>  <path>" per line, as sha256sum writes them.
  std::map<std::string, std::string> listed;
  std::size_t from = 0;
  while (from < sums.size()) {
    std::size_t end = sums.find('\n', from);
    if (end == std::string::npos)
      end = sums.size();
    const std::string line = sums.substr(from, end - from);
    from = end + 1;
    if (line.empty())
      continue;
    const bool shaped = line.size() > 66 && line[64] == ' ' && (line[65] == ' ' || line[65] == '*') &&
                        line.find_first_not_of("0123456789abcdef") >= 64;
    const std::string path = shaped ? line.substr(66) : std::string();
    if (!shaped || !InsidePath(path) || listed.count(path)) {
      r.problems.push_back(root + kSumsFile + ": a line that is not a file's digest: " +
                           line.substr(0, 120));
      continue;
    }
    listed[path] = line.substr(0, 64);
  }
  std::vector<std::string> files, others;
  ListPackageFiles(root, files, others);
  for (const std::string &o : others)
    r.problems.push_back(root + NativeRelative(o) + ": not a regular file");
  for (const std::string &f : files)
    if (f != kSumsFile && !listed.count(f))
      r.problems.push_back(root + NativeRelative(f) + ": not covered by " + kSumsFile);
  for (const auto &[path, hex] : listed) {
    if (cancel) {
      r.interrupted = true;
      return r;
    }
    const std::string native = root + NativeRelative(path);
    platform::Sha256Digest digest{};
    std::string error;
    if (!platform::IsRegularFile(native)) {
      r.problems.push_back(native + ": missing");
    } else if (!platform::HashFile(native, digest, error, &cancel)) {
      r.problems.push_back(error);
    } else if (platform::ToHex(digest) != hex) {
      r.problems.push_back(native + ": its SHA-256 differs from " + kSumsFile);
    } else {
      r.lines.push_back(native + ": SHA-256 matches");
    }
  }
  // The working copies: their own integrity data, and their samples
  // against the originals beside them.
  const std::string originals = root + kOriginalFolder;
  for (const auto &[path, hex] : listed) {
    (void)hex;
    if (path.rfind(std::string(kVideoFolder) + "/", 0) != 0 || path.size() < 4 ||
        path.compare(path.size() - 4, 4, ".mp4") != 0)
      continue;
    const std::string native = root + NativeRelative(path);
    const VideoFileTestResult test = TestVideoFile(native, cancel);
    if (test.verdict == VideoFileVerdict::Cancelled) {
      r.interrupted = true;
      return r;
    }
    if (test.verdict != VideoFileVerdict::Good)
      r.problems.push_back(native + ": " + DescribeVideoFileTest(test));
    const ClipCheckResult clip = CheckClipAgainstCard(native, originals, cancel);
    if (clip.verdict == ClipCheckVerdict::Cancelled) {
      r.interrupted = true;
      return r;
    }
    if (clip.verdict == ClipCheckVerdict::Identical)
      r.lines.push_back(DescribeClipCheck(clip) + " (" + kOriginalFolder + ")");
    else
      r.problems.push_back(DescribeClipCheck(clip));
  }
  r.complete = r.problems.empty() && !listed.empty();
  return r;
}

} // namespace orvo::evidence
