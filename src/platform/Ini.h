#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvo::platform {

// An INI file read the way the Windows profile functions read one: section
// and key names compare case-insensitively, blanks around names and values
// are trimmed, lines starting with ";" are comments, a missing file reads as
// empty and of duplicate keys the first one wins. Writing keeps every other
// section and key of the file as it was.
class IniFile {
public:
  IniFile();
  ~IniFile();
  IniFile(const IniFile &) = delete;
  IniFile &operator=(const IniFile &) = delete;

  // Replaces the content by the file's. A missing or unreadable file leaves
  // the object empty and answers false; that is not an error for callers
  // that want the defaults.
  bool LoadFile(const std::string &path);
  // Replaces the content by the given INI text (UTF-8, a byte-order mark is
  // skipped).
  bool LoadText(std::string_view text);

  bool HasKey(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Integer keys as Delphi's ReadInteger reads them: optional sign, decimal,
  // or hexadecimal after "0x", "0X" or "$" (up to 32 bits, taken as a two's
  // complement pattern). Any other text, a number that does not fit in 32
  // bits, or a missing key gives the default.
  std::int32_t ReadInt(std::string_view section, std::string_view key,
                       std::int32_t defaultValue) const;
  // Booleans are integers; anything but 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInt(std::string_view section, std::string_view key, std::int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The whole file as text.
  std::string ToText() const;
  // Writes the file as a whole: a temporary file in the same folder, flushed
  // to disk, then renamed over the old one, so that a failure at any point
  // leaves the old file as it was. False on any failure.
  bool SaveFile(const std::string &path) const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The integer parsing rules of ReadInt, on their own.
bool ParseIniInt(std::string_view text, std::int32_t &value);

} // namespace orvo::platform
