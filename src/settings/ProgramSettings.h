#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace orvo {

enum class GpsPlacement : std::int32_t { None = 0, Beside = 1, Embed = 2, Both = 3 };
inline bool GpsEmbedded(GpsPlacement p) {
  return p == GpsPlacement::Embed || p == GpsPlacement::Both;
}
inline bool GpsBeside(GpsPlacement p) {
  return p == GpsPlacement::Beside || p == GpsPlacement::Both;
}

// The largest output file the conversion writes: 1900 MiB.
inline constexpr std::uint32_t MaxFileLengthLimit = 0x76C00000;
inline constexpr char SettingsFileName[] = "orvo_v264o4_tft_v1.ini";
inline constexpr char SettingsSection[] = "ORVO-V264O4_TFT_V1";

struct SettingsLocation {
  std::string path;
  // Whether the folder of `path` may have to be created when writing (the
  // per-user configuration folder may not exist yet).
  bool createFolder = false;
};

// "USERPROFILE" followed by the separator and the file name; where
// "USERPROFILE" is not set, the file lives in the system's per-user
// settings folder (platform::UserConfigFolder), else in the working folder.
SettingsLocation DefaultSettingsLocation();

// The program's own settings, read from their INI file when constructed and
// written back when destroyed (program exit).
class ProgramSettings {
public:
  ProgramSettings();
  explicit ProgramSettings(SettingsLocation location);
  ~ProgramSettings();
  ProgramSettings(const ProgramSettings &) = delete;
  ProgramSettings &operator=(const ProgramSettings &) = delete;

  // Writes its keys into the file, keeping its other content; the file
  // is replaced as a whole, so a failure leaves the old one intact. False on
  // failure (the destructor ignores it: nobody is left to tell at exit).
  bool Save() const;
  const std::string &FilePath() const { return location_.path; }
  // Takes the seven settings from the bytes of a settings file, as the
  // constructor does from the file itself.
  void LoadFromBytes(std::string_view bytes);

  // Stores WithTrailingBackslash(text) and derives the drive fields.
  void SetInPath(std::string_view text);
  void SetOutPath(std::string_view text);
  void SetFileMask(std::string_view text);
  // InPath as last set through SetInPath (or read from the file), for worker
  // threads: they must not read the InPath field itself, which the window
  // thread may be changing at that moment.
  std::string SharedInPath() const;

  std::string InPath;
  std::string OutPath;
  std::string FileMask = "%D_%T";
  // Derived from InPath, not stored; see DeriveDriveFields.
  std::uint8_t DriveIndex = 255;
  bool InPathIsDriveRoot = false;
  std::uint32_t MaxFileLength = MaxFileLengthLimit;
  bool AutoScan = false;
  std::int32_t Language = 0;
  bool ShowConverted = true;
  // Read every converted part back from the disk and check it before the
  // record is marked converted ("VERIFY"); off unless chosen.
  bool VerifyOutputs = false;
  // How many seconds before and after the moment shown the player's
  // "around here" clip takes ("CLIP_AROUND", 1 to 600).
  std::int32_t ClipAroundSeconds = 30;
  // Where a record's GPS track goes ("GPS_IN_VIDEO"): the tracks inside
  // every output part, the copy beside them, both, or neither.
  GpsPlacement GpsInVideo = GpsPlacement::Both;
  // The main window's size and the record list's column widths ("22,76,..."),
  // as the user left them; 0 and empty until the window first closes.
  std::int32_t WindowWidth = 0;
  std::int32_t WindowHeight = 0;
  std::string ColumnWidths;

private:
  void UpdateDriveFields();

  mutable std::mutex sharedMutex_;
  std::string sharedInPath_;
  SettingsLocation location_;
  // The file as read at start-up, decoded; written back around the seven keys
  // should the file be unreadable by the time it is saved.
  std::string loadedText_;
};

// The process's one settings object, registered by its owner at start-up and
// cleared before it is destroyed; null outside that time.
ProgramSettings *Settings();
void SetSettings(ProgramSettings *settings);

} // namespace orvo
