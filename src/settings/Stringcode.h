#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The program's texts: every user-visible text is fetched by its identifier
// from the built-in English and Russian tables or from language files (".lng"
// in the current directory). All texts are UTF-8. These functions belong to
// the user-interface thread.
namespace orvo {

inline constexpr int StringCount = 318;
inline constexpr int MaxLanguages = 16;
// The identifier of the empty text, used where a control has no caption.
inline constexpr int NoTextId = 318;
// One past the last identifier, the added texts (AddedTexts.h) included.
int TextIdLimit();
// Language file values are cut to this many characters.
inline constexpr std::size_t MaxLanguageValueLength = 2047;

extern const std::array<std::string_view, StringCount> BuiltInEnglish;
extern const std::array<std::string_view, StringCount> BuiltInRussian;

// Identifiers of the composed-label letters "*A" to "*Z" and "*a" to "*z",
// upper case first.
extern const std::array<std::int16_t, 52> LetterTable;
// The identifier a letter stands for after an asterisk; NoTextId for any
// other character.
int LetterTextId(char letter);

// Builds the language list from the ".lng" files of the current directory
// (of `folder` with the second form): their names in the order the directory
// gives them, at most MaxLanguages; a file without a name is left out. With
// no file the built-in English and Russian are offered.
void DiscoverLanguages();
void DiscoverLanguagesIn(const std::string &folder);
// Back to the state before any discovery: built-in tables, English current.
void ResetLanguages();

int GetLanguageCount();
// The name of entry `index`; an index outside the list gives entry 0's.
std::string GetLanguageName(int index);
// Makes a language current; an index outside the list selects entry 0. In
// file mode the language's file is read again now.
void SelectLanguage(int index);
bool UseLanguageFiles();
int CurrentLanguage();

// The current text of an identifier; the empty text for NoTextId and outside
// 0..TextIdLimit()-1.
std::string GetText(int id);
// The text with "%1" to "%9" replaced by the arguments, for the core; the
// window uses QString::arg.
std::string GetTextWith(int id, std::initializer_list<std::string_view> args);
// The same text as wide characters.
std::wstring GetTextWide(int id);
// Into a buffer of `capacity` wide characters, always terminated and never
// cut inside a character; answers the number of characters written before
// the terminator (0 for a zero capacity).
std::size_t GetTextWide(int id, wchar_t *buffer, std::size_t capacity);

// "*" followed by a letter becomes the text the letter table names; "*"
// followed by anything else, or standing last, becomes nothing and takes the
// next character with it.
std::string ExpandText(std::string_view text);

} // namespace orvo
