#include "app/CardPreparation.h"

#include "app/Payloads.h"
#include "config/Cfg_mgr.h"
#include "platform/FileSystem.h"
#include "settings/ProgramSettings.h"

#include <vector>

namespace orvo {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
  std::string s(text);
  for (char &c : s)
    c = LowerAscii(c);
  return s;
}

} // namespace

bool IsDriveReady(std::uint8_t drive, const std::string &inPath) {
  if (drive & 0x80)
    return false;
  platform::CriticalErrorGuard guard;
  return platform::IsFolderReady(platform::DriveQueryFolder(drive, inPath));
}

bool IsFat32(std::uint8_t drive, const std::string &inPath, platform::VolumeProbe probe) {
  if (drive & 0x80)
    return false;
  platform::CriticalErrorGuard guard;
  return platform::IsFat32Volume(platform::DriveQueryFolder(drive, inPath), probe);
}

bool WritePayload(const std::string &folder, std::string_view name,
                  std::span<const std::uint8_t> payload) {
  platform::CriticalErrorGuard guard;
  // Through a temporary that replaces the old file only once complete and on
  // the medium: a card is pulled as soon as it is reported ready, and a
  // half-written firmware image is worse than the old one.
  return platform::WriteWholeFileAtomically(
      platform::WithSeparator(folder) + std::string(name),
      std::string_view(reinterpret_cast<const char *>(payload.data()), payload.size()));
}

void DeleteFilesByMask(const std::string &folder, std::string_view mask) {
  platform::CriticalErrorGuard guard;
  std::vector<platform::DirEntry> entries;
  if (!platform::FindEntries(folder, "*", false, entries))
    return;
  const std::string lowerMask = Lower(mask);
  const std::string prefix = platform::WithSeparator(folder);
  for (const platform::DirEntry &e : entries)
    if (!e.isDirectory && platform::WildcardMatch(lowerMask, Lower(e.name)))
      platform::DeleteFile(prefix + e.name);
}

int PrepareCard(std::uint8_t drive, const std::string &inPath, std::int32_t language,
                const CfgFileWriter &writeCfg, platform::VolumeProbe probe) {
  if (!IsFat32(drive, inPath, probe))
    return MsgIncorrectFileSystem;
  platform::RemoveStaleTemporaries(inPath);
  bool ok = WritePayload(inPath, FirmwareImageName, FirmwareImagePayload().Bytes());
  if (ok) {
    DeleteFilesByMask(inPath, "*.skn");
    const Payload &skin = language == 1 ? RussianSkinPayload() : EnglishSkinPayload();
    ok = WritePayload(inPath, skin.name, skin.Bytes());
  }
  if (ok)
    ok = writeCfg && writeCfg(inPath);
  return ok ? MsgCardReady : MsgWriteError;
}

bool WriteCardCfgFile(const std::string &folder) {
  return WriteCfgFile(platform::WithSeparator(folder), true);
}

CfgFileWriter CardCfgTextWriter(std::string text) {
  return [text = std::move(text)](const std::string &folder) {
    return WriteCfgText(platform::WithSeparator(folder), true, text);
  };
}

int PrepareCard(const ProgramSettings &settings, const CfgFileWriter &writeCfg,
                platform::VolumeProbe probe) {
  return PrepareCard(settings.DriveIndex, settings.InPath, settings.Language, writeCfg, probe);
}

} // namespace orvo
