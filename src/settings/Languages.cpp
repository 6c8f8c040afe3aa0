#include "platform/FileSystem.h"
#include "settings/LanguageFile.h"
#include "settings/Stringcode.h"
#include "settings/TextDecoding.h"

#include <cstdint>
#include <vector>

namespace orvo {

const std::array<std::int16_t, 52> LetterTable = {
    // A to Z
    218, 314, 165, 179, 180, 212, 175, 176, 177, 178, 318, 163, 296, //
    288, 187, 166, 167, 211, 171, 172, 173, 213, 181, 182, 183, 318, //
    // a to z
    170, 168, 164, 174, 186, 297, 298, 216, 184, 318, 217, 318, 215, //
    295, 185, 237, 238, 239, 214, 318, 318, 169, 188, 189, 190, 191, //
};

int LetterTextId(char letter) {
  if (letter >= 'A' && letter <= 'Z')
    return LetterTable[static_cast<std::size_t>(letter - 'A')];
  if (letter >= 'a' && letter <= 'z')
    return LetterTable[static_cast<std::size_t>(26 + letter - 'a')];
  return NoTextId;
}

namespace {

struct LanguageEntry {
  std::string name;
  std::string path;
};

struct LanguageState {
  bool useFiles = false;
  int count = 2;
  int current = 0;
  std::array<LanguageEntry, MaxLanguages> entries{{{"English", {}}, {"Русский", {}}}};
  // The current language file's texts; only read in file mode.
  LanguageTexts loaded;
};

LanguageState &State() {
  static LanguageState state;
  return state;
}

bool HasLanguageExtension(std::string_view name) {
  // Windows matches "*.lng" without regard to case; so do we.
  if (name.size() < 4)
    return false;
  const std::string_view ext = name.substr(name.size() - 4);
  const char lower[] = ".lng";
  for (std::size_t i = 0; i < 4; ++i) {
    char c = ext[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i])
      return false;
  }
  return true;
}

} // namespace

void ResetLanguages() {
  State() = LanguageState{};
}

void DiscoverLanguages() {
  DiscoverLanguagesIn(".");
}

void DiscoverLanguagesIn(const std::string &folder) {
  LanguageState fresh;
  std::vector<platform::DirEntry> found;
  platform::FindEntries(folder, "*", false, found);
  const std::string prefix = platform::WithSeparator(folder);
  int count = 0;
  for (const platform::DirEntry &e : found) {
    if (count == MaxLanguages)
      break;
    if (e.isDirectory || !HasLanguageExtension(e.name))
      continue;
    LanguageEntry entry{LanguageNameFromText(ReadLanguageFile(prefix + e.name)), prefix + e.name};
    // A nameless file takes no slot, so the next file fills the same index.
    if (entry.name.empty())
      continue;
    fresh.entries[static_cast<std::size_t>(count++)] = std::move(entry);
  }
  // Only named files count: should every file lack a name, the built-in pair
  // is offered rather than an empty list.
  if (count > 0) {
    fresh.useFiles = true;
    fresh.count = count;
  }
  fresh.current = State().current;
  State() = std::move(fresh);
}

int GetLanguageCount() {
  return State().count;
}

std::string GetLanguageName(int index) {
  const LanguageState &s = State();
  if (index < 0 || index >= s.count)
    index = 0;
  return s.entries[static_cast<std::size_t>(index)].name;
}

void SelectLanguage(int index) {
  LanguageState &s = State();
  if (index < 0 || index >= s.count)
    index = 0;
  s.current = index;
  if (s.useFiles)
    s.loaded =
        LanguageTextsFromText(ReadLanguageFile(s.entries[static_cast<std::size_t>(index)].path));
}

bool UseLanguageFiles() {
  return State().useFiles;
}

int CurrentLanguage() {
  return State().current;
}

int TextIdLimit() {
  return FirstAddedTextId + AddedTextCount;
}

std::string GetText(int id) {
  if (id < 0 || id >= TextIdLimit() || id == NoTextId)
    return {};
  const auto row = static_cast<std::size_t>(id);
  const bool added = id >= FirstAddedTextId;
  const std::string_view english =
      added ? BuiltInAddedTexts[row - FirstAddedTextId].english : BuiltInEnglish[row];
  const LanguageState &s = State();
  if (s.useFiles) {
    const std::string &text = s.loaded[row];
    return text.empty() ? std::string(english) : text;
  }
  if (s.current != 1)
    return std::string(english);
  return std::string(added ? BuiltInAddedTexts[row - FirstAddedTextId].russian
                           : BuiltInRussian[row]);
}

std::wstring GetTextWide(int id) {
  return Utf8ToWide(GetText(id));
}

std::size_t GetTextWide(int id, wchar_t *buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0)
    return 0;
  const std::wstring wide = GetTextWide(id);
  std::size_t n = std::min(wide.size(), capacity - 1);
  // Never keep half of a surrogate pair.
  if constexpr (sizeof(wchar_t) == 2) {
    if (n > 0 && n < wide.size() && wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF)
      --n;
  }
  wide.copy(buffer, n);
  buffer[n] = L'\0';
  return n;
}

std::string GetTextWith(int id, std::initializer_list<std::string_view> args) {
  const std::string text = GetText(id);
  std::string out;
  // One pass, so that an argument holding "%2" stays as it is.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : 99;
    if (text[i] == '%' && n < args.size()) {
      out += args.begin()[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string ExpandText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '*') {
      out.push_back(text[i++]);
      continue;
    }
    ++i;
    if (i >= text.size())
      break;
    out += GetText(LetterTextId(text[i]));
    // The consumed character may take several bytes; none of them stays.
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
      ++i;
  }
  return out;
}

} // namespace orvo
