#include "settings/ProgramSettings.h"

#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "settings/DriveFields.h"
#include "settings/Folders.h"
#include "settings/TextDecoding.h"

#include <algorithm>
#include <atomic>

namespace orvo {

namespace {

std::string FolderOf(const std::string &path) {
  const std::size_t cut = path.find_last_of(platform::kPathSeparator);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The INI format has no way to hold a line break inside a value; one would
// end the value and start a bogus line.
std::string OneLine(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

std::string ReadDecoded(const std::string &path, bool &ok) {
  std::string bytes;
  ok = platform::ReadWholeFile(path, bytes);
  return ok ? DecodeTextFile(bytes) : std::string();
}

std::atomic<ProgramSettings *> gSettings{nullptr};

} // namespace

SettingsLocation DefaultSettingsLocation() {
  const std::string profile = platform::EnvironmentVariable("USERPROFILE");
  if (!profile.empty())
    return {platform::WithSeparator(profile) + SettingsFileName, false};
  const std::string folder = platform::UserConfigFolder();
  if (folder.empty())
    return {SettingsFileName, false};
  return {platform::WithSeparator(folder) + SettingsFileName, true};
}

ProgramSettings::ProgramSettings() : ProgramSettings(DefaultSettingsLocation()) {}

ProgramSettings::ProgramSettings(SettingsLocation location) : location_(std::move(location)) {
  std::string bytes;
  platform::ReadWholeFile(location_.path, bytes);
  LoadFromBytes(bytes);
}

ProgramSettings::~ProgramSettings() {
  Save();
}

void ProgramSettings::LoadFromBytes(std::string_view bytes) {
  loadedText_ = DecodeTextFile(bytes);
  platform::IniFile ini;
  ini.LoadText(loadedText_);
  Language = ini.ReadInt(SettingsSection, "LANGUAGE", 0);
  // A hand-edited file may leave the separator off; every user of the paths
  // appends file names to them.
  SetInPath(ini.ReadString(SettingsSection, "IN_PATH", ""));
  SetOutPath(ini.ReadString(SettingsSection, "OUT_PATH", ""));
  FileMask = ini.ReadString(SettingsSection, "FILE_MASK", "%D_%T");
  // Compared as unsigned, so -1 and other negative values are too big too.
  MaxFileLength =
      std::min(static_cast<std::uint32_t>(ini.ReadInt(
                   SettingsSection, "MAX_FILE_LEN", static_cast<std::int32_t>(MaxFileLengthLimit))),
               MaxFileLengthLimit);
  AutoScan = ini.ReadBool(SettingsSection, "AUTOSCAN", false);
  ShowConverted = ini.ReadBool(SettingsSection, "SHOW_CONVERTED", true);
  VerifyOutputs = ini.ReadBool(SettingsSection, "VERIFY", false);
  ClipAroundSeconds = std::clamp(ini.ReadInt(SettingsSection, "CLIP_AROUND", 30), 1, 600);
  const std::int32_t gps = ini.ReadInt(SettingsSection, "GPS_IN_VIDEO", 3);
  GpsInVideo = gps >= 0 && gps <= 3 ? static_cast<GpsPlacement>(gps) : GpsPlacement::Both;
  WindowWidth = ini.ReadInt(SettingsSection, "WINDOW_WIDTH", 0);
  WindowHeight = ini.ReadInt(SettingsSection, "WINDOW_HEIGHT", 0);
  ColumnWidths = ini.ReadString(SettingsSection, "COLUMN_WIDTHS", "");
}

bool ProgramSettings::Save() const {
  // Other sections and keys stay as the file holds them now.
  bool ok = false;
  std::string text = ReadDecoded(location_.path, ok);
  platform::IniFile ini;
  ini.LoadText(ok ? text : loadedText_);
  ini.WriteInt(SettingsSection, "LANGUAGE", Language);
  ini.WriteString(SettingsSection, "IN_PATH", OneLine(InPath));
  ini.WriteString(SettingsSection, "OUT_PATH", OneLine(OutPath));
  ini.WriteString(SettingsSection, "FILE_MASK", OneLine(FileMask));
  ini.WriteInt(SettingsSection, "MAX_FILE_LEN", MaxFileLength);
  ini.WriteBool(SettingsSection, "AUTOSCAN", AutoScan);
  ini.WriteBool(SettingsSection, "SHOW_CONVERTED", ShowConverted);
  ini.WriteBool(SettingsSection, "VERIFY", VerifyOutputs);
  ini.WriteInt(SettingsSection, "CLIP_AROUND", ClipAroundSeconds);
  ini.WriteInt(SettingsSection, "GPS_IN_VIDEO", static_cast<std::int32_t>(GpsInVideo));
  if (WindowWidth > 0 && WindowHeight > 0) {
    ini.WriteInt(SettingsSection, "WINDOW_WIDTH", WindowWidth);
    ini.WriteInt(SettingsSection, "WINDOW_HEIGHT", WindowHeight);
  }
  if (!ColumnWidths.empty())
    ini.WriteString(SettingsSection, "COLUMN_WIDTHS", OneLine(ColumnWidths));
  if (location_.createFolder) {
    const std::string folder = FolderOf(location_.path);
    if (!folder.empty() && !CreateFolderPath(folder))
      return false;
  }
  return ini.SaveFile(location_.path);
}

void ProgramSettings::SetInPath(std::string_view text) {
  InPath = WithTrailingBackslash(text);
  UpdateDriveFields();
}

void ProgramSettings::SetOutPath(std::string_view text) {
  OutPath = WithTrailingBackslash(text);
}

void ProgramSettings::SetFileMask(std::string_view text) {
  FileMask = std::string(text);
}

void ProgramSettings::UpdateDriveFields() {
  const DriveFields f = orvo::DeriveDriveFields(InPath);
  DriveIndex = f.DriveIndex;
  InPathIsDriveRoot = f.InPathIsDriveRoot;
  const std::lock_guard<std::mutex> lock(sharedMutex_);
  sharedInPath_ = InPath;
}

std::string ProgramSettings::SharedInPath() const {
  const std::lock_guard<std::mutex> lock(sharedMutex_);
  return sharedInPath_;
}

ProgramSettings *Settings() {
  return gSettings.load();
}

void SetSettings(ProgramSettings *settings) {
  gSettings.store(settings);
}

} // namespace orvo
