#include "platform/Ini.h"

#include "platform/FileSystem.h"

// Texts stay UTF-8 bytes as they are in the file; no wide-character API is
// used, so the library needs no converter.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

namespace orvo::platform {

struct IniFile::Impl {
  // Case-insensitive names; several values per key are kept so that the
  // first of duplicates can be answered, as Windows does.
  CSimpleIniA ini{true, true, false};
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;

bool IniFile::LoadFile(const std::string &path) {
  impl_->ini.Reset();
  std::string text;
  if (!ReadWholeFile(path, text))
    return false;
  return LoadText(text);
}

bool IniFile::LoadText(std::string_view text) {
  impl_->ini.Reset();
  if (text.empty())
    return true;
  return impl_->ini.LoadData(text.data(), text.size()) >= 0;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return impl_->ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr) !=
         nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const char *v =
      impl_->ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
  if (!v)
    return std::string(defaultValue);
  std::string value(v);
  // Windows drops one pair of quotes enclosing the whole value.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

bool ParseIniInt(std::string_view text, std::int32_t &value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size())
    return false;
  std::uint64_t acc = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    acc = acc * base + d;
    if (acc > 0xFFFFFFFFull)
      return false;
  }
  std::int64_t result;
  if (base == 16) {
    // A hexadecimal value is a 32-bit pattern: $FFFFFFFF is -1.
    result = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc));
  } else {
    if (acc > (negative ? 0x80000000ull : 0x7FFFFFFFull))
      return false;
    result = static_cast<std::int64_t>(acc);
  }
  if (negative)
    result = -result;
  value = static_cast<std::int32_t>(result);
  return true;
}

std::int32_t IniFile::ReadInt(std::string_view section, std::string_view key,
                              std::int32_t defaultValue) const {
  const char *v =
      impl_->ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
  std::int32_t value;
  if (v && ParseIniInt(v, value))
    return value;
  return defaultValue;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInt(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // Replace rather than add, so a key never gains a second value.
  impl_->ini.SetValue(std::string(section).c_str(), std::string(key).c_str(),
                      std::string(value).c_str(), nullptr, true);
}

void IniFile::WriteInt(std::string_view section, std::string_view key, std::int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::ToText() const {
  std::string text;
  impl_->ini.Save(text, false);
  return text;
}

bool IniFile::SaveFile(const std::string &path) const {
  // The program's settings name the user's folders; they stay the user's own.
  return WriteWholeFileAtomically(path, ToText(), 0600);
}

} // namespace orvo::platform
