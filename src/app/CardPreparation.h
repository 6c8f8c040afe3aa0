#pragma once

#include "platform/Volume.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace orvo {

class ProgramSettings;

inline constexpr char FirmwareImageName[] = "orvo-v264o4_tft_v1.bin";
inline constexpr char RussianSkinName[] = "ru_std.skn";
inline constexpr char EnglishSkinName[] = "en_std.skn";

// Message ids of the card commands.
inline constexpr int MsgIncorrectFileSystem = 32;
inline constexpr int MsgCardReady = 33;
inline constexpr int MsgWriteError = 34;
inline constexpr int MsgFormatCancelled = 36;
inline constexpr int MsgIncorrectDrive = 37;
inline constexpr int MsgFormatError = 38;
inline constexpr int MsgDriveReady = 39;
inline constexpr int MsgDriveNotReady = 40;

// The card is the drive of the input folder. `drive` is the settings'
// DriveIndex (NoDrive: none); on Windows the drive's root is asked, elsewhere
// the input folder itself, since a volume there has no letter.
bool IsDriveReady(std::uint8_t drive, const std::string &inPath);
bool IsFat32(std::uint8_t drive, const std::string &inPath,
             platform::VolumeProbe probe = platform::ProbeVolume);

// Writes the payload as folder + name, replacing an existing file only once
// every byte has reached the medium; on failure the old file stays as it was.
bool WritePayload(const std::string &folder, std::string_view name,
                  std::span<const std::uint8_t> payload);

// Deletes every file of `folder` whose name matches `mask`, ignoring
// failures. Case is ignored, as FAT volumes ignore it.
void DeleteFilesByMask(const std::string &folder, std::string_view mask);

// Writes the card configuration file into the folder it is given; true when
// the file could be written.
using CfgFileWriter = std::function<bool(const std::string &folder)>;

// Prepares the card in `inPath`: the firmware image, then the skin of the
// language (Russian for `language` 1, English otherwise) in place of every
// other skin, then the configuration file. The first failure ends the
// sequence; what was written stays. Returns the message id to show:
// MsgIncorrectFileSystem (nothing written), MsgCardReady or MsgWriteError.
int PrepareCard(std::uint8_t drive, const std::string &inPath, std::int32_t language,
                const CfgFileWriter &writeCfg, platform::VolumeProbe probe = platform::ProbeVolume);
// The card configuration file from the recorder configuration model.
bool WriteCardCfgFile(const std::string &folder);
// The same from a text taken from the model before (CfgFileText), for a
// preparation running on another thread than the model's.
CfgFileWriter CardCfgTextWriter(std::string text);
int PrepareCard(const ProgramSettings &settings, const CfgFileWriter &writeCfg = WriteCardCfgFile,
                platform::VolumeProbe probe = platform::ProbeVolume);

} // namespace orvo
