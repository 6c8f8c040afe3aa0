#include "settings/LanguageFile.h"

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "settings/TextDecoding.h"

#include <algorithm>

namespace orvo {

namespace {

// Far above any real translation (the English texts take about 10 KiB); a
// bigger file is not read at all.
constexpr std::uintmax_t kMaxLanguageFileSize = 4u << 20;

std::string ReadValue(const platform::IniFile &ini, std::string_view section, std::string_view key,
                      std::string_view defaultValue) {
  const std::string value = ini.ReadString(section, key, defaultValue);
  return std::string(TruncateUtf8(value, MaxLanguageValueLength));
}

} // namespace

std::string ReadLanguageFile(const std::string &path) {
  // Only regular files, opened without blocking: a FIFO or device with a
  // matching name would block or never end.
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes, kMaxLanguageFileSize))
    return {};
  return DecodeTextFile(bytes);
}

std::string LanguageNameFromText(std::string_view text) {
  platform::IniFile ini;
  if (!ini.LoadText(text))
    return {};
  return ReadValue(ini, "LANGUAGE", "NAME", "");
}

LanguageTexts LanguageTextsFromText(std::string_view text) {
  platform::IniFile ini;
  const bool loaded = ini.LoadText(text);
  LanguageTexts texts;
  for (int n = 0; n < static_cast<int>(texts.size()); ++n) {
    if (n == NoTextId)
      continue; // stays empty, whatever a file says
    const std::string_view english =
        n < StringCount ? BuiltInEnglish[static_cast<std::size_t>(n)]
                        : BuiltInAddedTexts[static_cast<std::size_t>(n - FirstAddedTextId)].english;
    std::string value = loaded ? ReadValue(ini, "STRINGS", "STR" + std::to_string(n), english)
                               : std::string(english);
    std::replace(value.begin(), value.end(), '\\', '\n');
    texts[static_cast<std::size_t>(n)] = std::move(value);
  }
  return texts;
}

} // namespace orvo
