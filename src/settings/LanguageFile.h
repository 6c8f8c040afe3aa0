#pragma once

#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

#include <array>
#include <string>
#include <string_view>

// The content of one language file: section "LANGUAGE" key "NAME" is the
// display name, section "STRINGS" keys "STR0" to "STR317", and from "STR319"
// on the added texts, are the texts.
namespace orvo {

using LanguageTexts = std::array<std::string, StringCount + 1 + AddedTextCount>;

// The file's bytes, decoded to UTF-8; empty for a file that cannot be read,
// is not a regular file or is implausibly large for a language file.
std::string ReadLanguageFile(const std::string &path);

// From decoded file text: the display name (empty when missing).
std::string LanguageNameFromText(std::string_view text);
// From decoded file text: every text, a missing key giving the built-in
// English one. A value keeps its first MaxLanguageValueLength characters and
// each backslash in it becomes a line feed. An empty value stays empty (the
// lookup falls back to English then).
LanguageTexts LanguageTextsFromText(std::string_view text);

} // namespace orvo
