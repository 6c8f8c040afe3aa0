#include "settings/Stringcode.h"
#include "settings/TextDecoding.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvo;

namespace {

// Built-in mode with English current, whatever an earlier test left.
class BuiltInTexts : public ::testing::Test {
protected:
  void SetUp() override { ResetLanguages(); }
  void TearDown() override { ResetLanguages(); }
};

std::size_t LineCount(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

} // namespace

TEST(BuiltInTables, BothHaveEveryRowAsValidNonEmptyUtf8) {
  static_assert(BuiltInEnglish.size() == 318 && BuiltInRussian.size() == 318);
  for (int id = 0; id < StringCount; ++id) {
    const auto row = static_cast<std::size_t>(id);
    SCOPED_TRACE(id);
    EXPECT_FALSE(BuiltInEnglish[row].empty());
    EXPECT_FALSE(BuiltInRussian[row].empty());
    EXPECT_TRUE(IsValidUtf8(BuiltInEnglish[row]));
    EXPECT_TRUE(IsValidUtf8(BuiltInRussian[row]));
    // Composed labels and language files use these as escapes.
    EXPECT_EQ(BuiltInRussian[row].find('\\'), std::string_view::npos);
  }
}

TEST(BuiltInTables, EnglishRowsKeepTheirNumbers) {
  EXPECT_EQ(BuiltInEnglish[0], "Language");
  EXPECT_EQ(BuiltInEnglish[40], "Drive is not ready");
  EXPECT_EQ(BuiltInEnglish[125], "Insertion of Text 2 in video signal");
  EXPECT_EQ(BuiltInEnglish[127], "Text 1 vertical position");
  EXPECT_EQ(BuiltInEnglish[201], "File name mask");
  EXPECT_EQ(BuiltInEnglish[203], "Autoscan when card inserted");
  EXPECT_EQ(BuiltInEnglish[222], "All rights reserved");
  EXPECT_EQ(BuiltInEnglish[311], "Select delay for recorder's power off");
  EXPECT_EQ(BuiltInEnglish[317], "Video bitrate will be limited at 1024 kbps");
  EXPECT_EQ(BuiltInEnglish[221], BuiltInRussian[221]);
}

TEST(BuiltInTables, MultiLineTextsHaveSingleLineFeedsAndNoTrailingOne) {
  for (const auto &table : {BuiltInEnglish, BuiltInRussian}) {
    EXPECT_EQ(LineCount(table[126]), 14u);
    EXPECT_EQ(LineCount(table[202]), 7u);
    for (int id : {126, 202}) {
      const std::string_view text = table[static_cast<std::size_t>(id)];
      EXPECT_NE(text.back(), '\n');
      EXPECT_EQ(text.find("\n\n"), std::string_view::npos);
      EXPECT_EQ(text.find('\r'), std::string_view::npos);
    }
  }
  EXPECT_TRUE(BuiltInEnglish[126].starts_with("Format of the Text string for insertion\n%D: "));
  EXPECT_TRUE(BuiltInEnglish[126].ends_with("\n%a: accumulator voltage (mV)"));
  EXPECT_EQ(BuiltInEnglish[202], "%D: date\n%T: time\n%L: record length\n%S: frame size\n"
                                 "%F: FPS\n%B: bitrate\n%R: record type");
  // Only single-line texts other than these two.
  for (int id = 0; id < StringCount; ++id) {
    if (id != 126 && id != 202) {
      EXPECT_EQ(BuiltInEnglish[static_cast<std::size_t>(id)].find('\n'), std::string_view::npos);
    }
  }
}

TEST(BuiltInTables, RussianKeepsTheFixedRowsAndPlaceholders) {
  EXPECT_EQ(BuiltInRussian[0], "Язык");
  EXPECT_EQ(BuiltInRussian[33], "Карта памяти подготовлена");
  EXPECT_EQ(BuiltInRussian[40], "Диск не готов");
  EXPECT_EQ(BuiltInRussian[55], "Запись");
  EXPECT_EQ(BuiltInRussian[206], "Папка для выходных данных не существует, создать?");
  EXPECT_EQ(BuiltInRussian[219], "О программе");
  EXPECT_EQ(BuiltInRussian[213], "В");
  EXPECT_EQ(BuiltInRussian[214], "сек");
  EXPECT_EQ(BuiltInRussian[217], "кбит/с");
  EXPECT_EQ(BuiltInRussian[17], "FPS");
  EXPECT_EQ(BuiltInRussian[92], "X");
  EXPECT_EQ(BuiltInRussian[268], "> > >");
  // The help texts name placeholders the program expands; they must survive
  // translation line for line.
  for (int id : {126, 202}) {
    const std::string_view en = BuiltInEnglish[static_cast<std::size_t>(id)];
    const std::string_view ru = BuiltInRussian[static_cast<std::size_t>(id)];
    for (std::size_t e = 0, r = 0; e != std::string_view::npos;) {
      const std::size_t eEnd = en.find('\n', e), rEnd = ru.find('\n', r);
      const std::string_view eLine = en.substr(e, eEnd - e), rLine = ru.substr(r, rEnd - r);
      if (eLine.starts_with('%')) {
        EXPECT_EQ(eLine.substr(0, eLine.find(':')), rLine.substr(0, rLine.find(':')));
      }
      e = eEnd == std::string_view::npos ? eEnd : eEnd + 1;
      r = rEnd == std::string_view::npos ? rEnd : rEnd + 1;
    }
  }
}

TEST_F(BuiltInTexts, OnlyLanguageOneIsRussianAndOutOfRangeIdsAreEmpty) {
  EXPECT_EQ(GetLanguageCount(), 2);
  EXPECT_EQ(GetLanguageName(0), "English");
  EXPECT_EQ(GetLanguageName(1), "Русский");
  EXPECT_EQ(GetLanguageName(7), "English");
  EXPECT_FALSE(UseLanguageFiles());

  SelectLanguage(1);
  EXPECT_EQ(GetText(40), "Диск не готов");
  SelectLanguage(5);
  EXPECT_EQ(CurrentLanguage(), 0);
  EXPECT_EQ(GetText(40), "Drive is not ready");
  SelectLanguage(-1);
  EXPECT_EQ(CurrentLanguage(), 0);

  EXPECT_EQ(GetText(318), "");
  EXPECT_EQ(GetText(-1), "");
  EXPECT_EQ(GetText(32767), "");
  EXPECT_EQ(GetText(317), BuiltInEnglish[317]);
}

TEST_F(BuiltInTexts, ExpandTextReplacesLettersAndSwallowsOtherEscapes) {
  EXPECT_EQ(ExpandText("*R 1"), "Region 1");
  EXPECT_EQ(ExpandText("10 *s"), "10 s");
  EXPECT_EQ(ExpandText("*K"), "");
  EXPECT_EQ(ExpandText("**"), "");
  EXPECT_EQ(ExpandText("a*"), "a");
  EXPECT_EQ(ExpandText("*1x"), "x");
  EXPECT_EQ(ExpandText("no escapes"), "no escapes");
  // The character after the asterisk is swallowed whole, not byte by byte.
  EXPECT_EQ(ExpandText("*Яz"), "z");
  SelectLanguage(1);
  EXPECT_EQ(ExpandText("*R 2"), "Зона 2");
  EXPECT_EQ(ExpandText("128 *k"), "128 кбит/с");
}

TEST(LetterTable, LettersNameTheirTexts) {
  EXPECT_EQ(LetterTextId('A'), 218);
  EXPECT_EQ(LetterTextId('Z'), NoTextId);
  EXPECT_EQ(LetterTextId('a'), 170);
  EXPECT_EQ(LetterTextId('z'), 191);
  EXPECT_EQ(LetterTextId('K'), NoTextId);
  EXPECT_EQ(LetterTextId('*'), NoTextId);
  EXPECT_EQ(LetterTextId('\xD0'), NoTextId);
  for (std::int16_t id : LetterTable)
    EXPECT_TRUE(id >= 0 && id <= NoTextId);
}

TEST_F(BuiltInTexts, WideTextIsCutToTheBufferAndTerminated) {
  SelectLanguage(1);
  EXPECT_EQ(GetTextWide(0), L"Язык");
  wchar_t buffer[3] = {L'x', L'x', L'x'};
  EXPECT_EQ(GetTextWide(0, buffer, 3), 2u);
  EXPECT_EQ(std::wstring(buffer), L"Яз");
  EXPECT_EQ(GetTextWide(0, buffer, 1), 0u);
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(GetTextWide(0, buffer, 0), 0u);
  EXPECT_EQ(GetTextWide(0, nullptr, 5), 0u);
  wchar_t big[64];
  EXPECT_EQ(GetTextWide(318, big, 64), 0u);
  EXPECT_EQ(big[0], L'\0');
}
