#pragma once

#include "platform/Thread.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace orvo {

class ProgramSettings;

inline constexpr char FirmwareFileMask[] = "orvo-v264o4_tft_v1??.fw";

// Lists the firmware files in the program's folder and on the card and copies
// one either way, away from the window thread. The window sets requests and
// polls TakeResults; after TakeResults has said true, the lists stay
// untouched by the thread until the window's next request.
class TThreadFirmware : public platform::Thread {
public:
  // The disk folder is the current directory at this moment. The card folder
  // is the input folder of `settings` (or of the process's settings object),
  // read afresh for every listing and copy. The thread runs from here on.
  explicit TThreadFirmware(ProgramSettings *settings = nullptr);
  TThreadFirmware(std::string diskFolder, ProgramSettings *settings);
  ~TThreadFirmware() override;

  // Each request is taken only while the thread is idle with no request
  // pending; otherwise it changes nothing and says false.
  bool RequestRefresh();
  bool RequestCopyFromCard(std::int32_t index);
  bool RequestCopyToCard(std::int32_t index);
  // True once for every new listing.
  bool TakeResults();
  // The thread has listed and waits for a request.
  bool IsIdle() const { return Idle; }

  // Names sorted, versions in the same order; read them after TakeResults.
  const std::vector<std::string> &GetDiskFiles() const { return DiskFiles; }
  const std::vector<std::string> &GetCardFiles() const { return CardFiles; }
  const std::vector<std::string> &GetDiskVersions() const { return DiskVersions; }
  const std::vector<std::string> &GetCardVersions() const { return CardVersions; }
  const std::string &GetDiskFolder() const { return DiskFolder; }

  // "1.02" for a name whose version characters are "102"; "UNKNOWN" when
  // fewer than two letters or digits follow the "v".
  std::string VersionFromFileName(const std::string &name) const;
  // The firmware files of `folder`, sorted; case is ignored in the match, as
  // on FAT cards. Empty when the folder cannot be listed.
  void ListFirmwareFiles(const std::string &folder, std::vector<std::string> &names) const;

  // Written by the window's drive polling: a card is ready.
  std::atomic<bool> CardPresent{false};

protected:
  void Execute() override;

private:
  bool Request(bool copyToCard, bool copyFromCard, std::int32_t index);
  std::string CardFolder() const;
  void ListBothSides();
  void HandleRequest();

  std::atomic<bool> RequestPending{false};
  std::atomic<bool> Idle{false};
  std::atomic<bool> ResultsReady{false};
  // Request fields: written by the window before RequestPending is raised,
  // read by the thread after it has seen it.
  bool CopyToCard = false;
  bool CopyFromCard = false;
  std::int32_t SelectedIndex = 0;
  std::int32_t VersionOffset = 0;
  std::string DiskFolder;
  std::string FirmwareMask = FirmwareFileMask;
  std::vector<std::string> DiskFiles;
  std::vector<std::string> CardFiles;
  std::vector<std::string> DiskVersions;
  std::vector<std::string> CardVersions;
  ProgramSettings *settings_;
};

// The process's firmware thread, registered by its owner at start-up and
// cleared before it is destroyed; null outside that time.
TThreadFirmware *FirmwareThread();
void SetFirmwareThread(TThreadFirmware *thread);

} // namespace orvo
