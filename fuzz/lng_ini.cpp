// Language files and the settings file come from users: any bytes must be
// read without harm and give only valid UTF-8 texts.
#include "settings/LanguageFile.h"
#include "settings/ProgramSettings.h"
#include "settings/Stringcode.h"
#include "settings/TextDecoding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace orvo;

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

void CheckText(std::string_view text) {
  Check(IsValidUtf8(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);

  const std::string text = DecodeTextFile(bytes);
  CheckText(text);

  const std::string name = LanguageNameFromText(text);
  CheckText(name);
  Check(name.size() <= MaxLanguageValueLength * 4);
  const LanguageTexts texts = LanguageTextsFromText(text);
  for (const std::string &t : texts) {
    CheckText(t);
    Check(t.find('\\') == std::string::npos);
    CheckText(ExpandText(t));
  }

  // Never written: the folder does not exist.
  static ProgramSettings settings({"/nonexistent-orvo-fuzz/settings.ini", false});
  settings.LoadFromBytes(bytes);
  CheckText(settings.InPath);
  CheckText(settings.OutPath);
  CheckText(settings.FileMask);
  Check(settings.MaxFileLength <= MaxFileLengthLimit);
  return 0;
}
