#include "app/Threadfirmware.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Volume.h"
#include "settings/ProgramSettings.h"

#include <algorithm>

namespace orvo {

namespace {

std::string Lower(std::string_view text) {
  std::string s(text);
  for (char &c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Far above any firmware image of the recorder; a bigger file is not one.
constexpr std::uint64_t kMaxFirmwareSize = 64u << 20;

// Names are compared as the system's wide-character calls would see them:
// at most this many characters.
constexpr std::size_t kMaxNameChars = 32;

std::atomic<TThreadFirmware *> gFirmwareThread{nullptr};

} // namespace

TThreadFirmware::TThreadFirmware(ProgramSettings *settings)
    : TThreadFirmware(platform::WithSeparator(platform::CurrentDirectory()), settings) {}

TThreadFirmware::TThreadFirmware(std::string diskFolder, ProgramSettings *settings)
    : DiskFolder(platform::WithSeparator(diskFolder)), settings_(settings) {
  // 1-based position of "v1??" in the mask: the 0-based index of the first
  // version character.
  const std::size_t v = FirmwareMask.find("v1??");
  VersionOffset = v == std::string::npos ? 0 : static_cast<std::int32_t>(v + 1);
  Start();
}

TThreadFirmware::~TThreadFirmware() {
  Terminate();
  WaitFor();
}

bool TThreadFirmware::Request(bool copyToCard, bool copyFromCard, std::int32_t index) {
  if (!Idle || RequestPending)
    return false;
  // The old listing is stale from here on; the thread is about to rewrite the
  // lists, so they must not be taken before the new listing is complete.
  ResultsReady = false;
  CopyToCard = copyToCard;
  CopyFromCard = copyFromCard;
  SelectedIndex = index;
  RequestPending = true;
  return true;
}

bool TThreadFirmware::RequestRefresh() {
  return Request(false, false, SelectedIndex);
}

bool TThreadFirmware::RequestCopyFromCard(std::int32_t index) {
  return Request(false, true, index);
}

bool TThreadFirmware::RequestCopyToCard(std::int32_t index) {
  return Request(true, false, index);
}

bool TThreadFirmware::TakeResults() {
  return ResultsReady.exchange(false);
}

std::string TThreadFirmware::VersionFromFileName(const std::string &name) const {
  const std::string limited = name.substr(0, kMaxNameChars);
  std::string run;
  for (std::size_t i = static_cast<std::size_t>(VersionOffset);
       i < limited.size() && IsAsciiAlnum(limited[i]); ++i)
    run.push_back(limited[i]);
  if (run.size() < 2)
    return "UNKNOWN";
  return run.substr(0, 1) + "." + run.substr(1);
}

void TThreadFirmware::ListFirmwareFiles(const std::string &folder,
                                        std::vector<std::string> &names) const {
  names.clear();
  std::vector<platform::DirEntry> entries;
  if (!platform::FindEntries(folder, "*", false, entries))
    return;
  const std::string mask = Lower(FirmwareMask);
  for (const platform::DirEntry &e : entries)
    if (!e.isDirectory && platform::WildcardMatch(mask, Lower(e.name)))
      names.push_back(e.name);
  std::sort(names.begin(), names.end());
}

std::string TThreadFirmware::CardFolder() const {
  const ProgramSettings *s = settings_ ? settings_ : Settings();
  return s ? s->SharedInPath() : std::string();
}

void TThreadFirmware::ListBothSides() {
  platform::CriticalErrorGuard guard;
  const std::string card = CardFolder();
  ListFirmwareFiles(DiskFolder, DiskFiles);
  DiskVersions.clear();
  for (const std::string &name : DiskFiles)
    DiskVersions.push_back(VersionFromFileName(name));
  // An input folder that is not set names no card; an empty path would list
  // the current directory instead.
  if (card.empty())
    CardFiles.clear();
  else
    ListFirmwareFiles(card, CardFiles);
  CardVersions.clear();
  for (const std::string &name : CardFiles)
    CardVersions.push_back(VersionFromFileName(name));
}

void TThreadFirmware::HandleRequest() {
  const std::string card = platform::WithSeparator(CardFolder());
  if (card.empty())
    return;
  platform::CriticalErrorGuard guard;
  const auto index = static_cast<std::size_t>(SelectedIndex);
  if (CopyFromCard) {
    if (SelectedIndex >= 0 && index < CardFiles.size())
      platform::CopyFileSafely(card + CardFiles[index], DiskFolder + CardFiles[index]);
  } else if (CopyToCard && SelectedIndex >= 0 && index < DiskFiles.size()) {
    // The recorder takes the one firmware file on the card. The new one is
    // written and checked first; only then do the others go, so a failed
    // copy leaves the card with the firmware it had.
    const std::string &name = DiskFiles[index];
    platform::RemoveStaleTemporaries(card);
    if (!platform::CopyFileSafely(DiskFolder + name, card + name))
      return;
    // Read back from the card itself, not from the system's cache, which
    // would only compare memory with memory. A copy that differs is worse
    // than none: the recorder would flash it.
    {
      platform::File written;
      if (written.OpenRead(card + name))
        written.DropCachedPages();
    }
    std::string copied;
    std::string original;
    if (!platform::ReadWholeFile(DiskFolder + name, original, kMaxFirmwareSize))
      return;
    if (!platform::ReadWholeFile(card + name, copied, kMaxFirmwareSize) || copied != original) {
      platform::DeleteFile(card + name);
      return;
    }
    for (const std::string &other : CardFiles)
      if (Lower(other) != Lower(name))
        platform::DeleteFile(card + other);
  }
}

void TThreadFirmware::Execute() {
  while (!Terminated()) {
    if (CardPresent) {
      ListBothSides();
      Idle = true;
      ResultsReady = true;
    }
    Sleep(100);
    if (!Idle)
      continue;
    while (!RequestPending) {
      if (Terminated())
        return;
      Sleep(100);
    }
    Idle = false;
    RequestPending = false;
    HandleRequest();
  }
}

TThreadFirmware *FirmwareThread() {
  return gFirmwareThread.load();
}

void SetFirmwareThread(TThreadFirmware *thread) {
  gFirmwareThread.store(thread);
}

} // namespace orvo
