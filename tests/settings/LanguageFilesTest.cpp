#include "TestFolders.h"
#include "settings/LanguageFile.h"
#include "settings/Stringcode.h"
#include "settings/TextDecoding.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvo;
using orvo::test::TempFolder;
using orvo::test::WriteFile;

namespace {

std::string Lng(std::string_view name, std::string_view strings = {}) {
  std::string text = "[LANGUAGE]\nNAME=" + std::string(name) + "\n[STRINGS]\n";
  text += strings;
  return text;
}

std::string DataFile(std::string_view name) {
  return std::string(ORVO_TEST_DATA) + "/" + std::string(name);
}

// Runs each test in an empty current directory and restores the old one and
// the built-in languages afterwards.
class LanguageFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ResetLanguages();
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
  }
  void TearDown() override {
    std::filesystem::current_path(oldDir_);
    ResetLanguages();
  }
  std::string At(std::string_view name) const { return dir_ / name; }
  void CopyData(std::string_view name) { std::filesystem::copy_file(DataFile(name), At(name)); }

  TempFolder dir_;
  std::filesystem::path oldDir_;
};

} // namespace

TEST_F(LanguageFiles, NoFileOffersTheBuiltInPair) {
  WriteFile(At("readme.txt"), Lng("Not a language"));
  std::filesystem::create_directory(At("folder.lng"));
  DiscoverLanguages();
  EXPECT_FALSE(UseLanguageFiles());
  EXPECT_EQ(GetLanguageCount(), 2);
  SelectLanguage(1);
  EXPECT_EQ(GetText(0), "Язык");
}

TEST_F(LanguageFiles, MissingOrEmptyKeyFallsBackToEnglish) {
  WriteFile(At("de.lng"), Lng("Deutsch", "STR0=Sprache\nSTR39=Laufwerk bereit\nSTR41=\n"
                                         "str3 = Suchen \nSTR040=wrong key\n"));
  DiscoverLanguages();
  ASSERT_TRUE(UseLanguageFiles());
  ASSERT_EQ(GetLanguageCount(), 1);
  EXPECT_EQ(GetLanguageName(0), "Deutsch");
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Sprache");
  EXPECT_EQ(GetText(39), "Laufwerk bereit");
  EXPECT_EQ(GetText(3), "Suchen");
  EXPECT_EQ(GetText(40), "Drive is not ready");
  EXPECT_EQ(GetText(41), BuiltInEnglish[41]);
  EXPECT_EQ(GetText(318), "");
}

TEST_F(LanguageFiles, BackslashBecomesLineFeed) {
  WriteFile(At("a.lng"), Lng("A", "STR5=first\\second\nSTR6=\\\\\n"));
  DiscoverLanguages();
  SelectLanguage(0);
  EXPECT_EQ(GetText(5), "first\nsecond");
  EXPECT_EQ(GetText(6), "\n\n");
}

TEST_F(LanguageFiles, NamelessFileLeavesItsSlotToTheNext) {
  WriteFile(At("nameless.lng"), "[STRINGS]\nSTR0=nothing\n");
  WriteFile(At("empty_name.lng"), Lng(""));
  WriteFile(At("named.lng"), Lng("Named", "STR0=Named language"));
  DiscoverLanguages();
  ASSERT_EQ(GetLanguageCount(), 1);
  EXPECT_EQ(GetLanguageName(0), "Named");
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Named language");
}

TEST_F(LanguageFiles, OnlyNamelessFilesOfferTheBuiltInPair) {
  WriteFile(At("nameless.lng"), "[STRINGS]\nSTR0=nothing\n");
  DiscoverLanguages();
  EXPECT_FALSE(UseLanguageFiles());
  EXPECT_EQ(GetLanguageCount(), 2);
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Language");
}

TEST_F(LanguageFiles, SeventeenFilesGiveSixteenLanguages) {
  for (int i = 0; i < 17; ++i) {
    // Joined from a named string: "l" + std::to_string(i) draws a false
    // -Wrestrict from GCC 12 at -O3 (GCC bug 105651).
    const std::string n = std::to_string(i);
    WriteFile(At("l" + n + ".lng"), Lng("L" + n));
  }
  DiscoverLanguages();
  ASSERT_EQ(GetLanguageCount(), MaxLanguages);
  for (int i = 0; i < MaxLanguages; ++i)
    EXPECT_FALSE(GetLanguageName(i).empty());
  EXPECT_EQ(GetLanguageName(16), GetLanguageName(0));
  SelectLanguage(16);
  EXPECT_EQ(CurrentLanguage(), 0);
}

TEST_F(LanguageFiles, ExtensionMatchesWithoutRegardToCase) {
  WriteFile(At("UPPER.LNG"), Lng("Upper"));
  WriteFile(At("other.lngx"), Lng("Other"));
  DiscoverLanguages();
  ASSERT_EQ(GetLanguageCount(), 1);
  EXPECT_EQ(GetLanguageName(0), "Upper");
}

TEST_F(LanguageFiles, ValueIsCutAt2047Characters) {
  std::string longValue;
  for (int i = 0; i < 3000; ++i)
    longValue += "ж";
  WriteFile(At("a.lng"), Lng("A", "STR7=" + longValue + "\n"));
  DiscoverLanguages();
  SelectLanguage(0);
  const std::string text = GetText(7);
  EXPECT_EQ(text.size(), 2047u * 2);
  EXPECT_TRUE(IsValidUtf8(text));
}

TEST_F(LanguageFiles, FileGoneAfterDiscoveryGivesEnglish) {
  WriteFile(At("a.lng"), Lng("A", "STR0=Sprache"));
  DiscoverLanguages();
  std::filesystem::remove(At("a.lng"));
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Language");
  EXPECT_EQ(GetLanguageName(0), "A");
}

TEST_F(LanguageFiles, AnsiFileIsReadAsWindows1251) {
  CopyData("not_utf8_cp1251.lng");
  DiscoverLanguages();
  ASSERT_EQ(GetLanguageCount(), 1);
  EXPECT_EQ(GetLanguageName(0), "Русский");
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Язык");
  EXPECT_EQ(GetText(40), "Диск не готов");
  EXPECT_EQ(GetText(41), "Ёлка «№»");
}

TEST_F(LanguageFiles, Utf16FileWithByteOrderMarkIsRead) {
  CopyData("utf16le_bom.lng");
  DiscoverLanguages();
  ASSERT_EQ(GetLanguageCount(), 1);
  EXPECT_EQ(GetLanguageName(0), "Українська");
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Мова");
  EXPECT_EQ(GetText(1), "😀");
}

TEST_F(LanguageFiles, BadBytesInMarkedUtf8BecomeReplacementCharacters) {
  CopyData("utf8_bom_bad_byte.lng");
  DiscoverLanguages();
  SelectLanguage(0);
  EXPECT_EQ(GetText(0), "Spr\uFFFDche");
  EXPECT_EQ(GetText(1), "Ende\uFFFD\uFFFD");
}

TEST(TextDecoding, EveryInputGivesValidUtf8) {
  EXPECT_EQ(DecodeTextFile("plain"), "plain");
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFwith mark"), "with mark");
  // Overlong, surrogate and too-large forms are not UTF-8.
  for (std::string_view bad :
       {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x98"}) {
    EXPECT_FALSE(IsValidUtf8(bad));
    EXPECT_TRUE(IsValidUtf8(DecodeTextFile(bad)));
  }
  EXPECT_EQ(DecodeTextFile("\x98"), "\uFFFD");
  // UTF-16 with an unpaired surrogate and an odd byte at the end.
  EXPECT_EQ(DecodeTextFile(std::string_view("\xFF\xFE\x00\xD8\x41\x00\x42", 7)), "\uFFFDA\uFFFD");
  EXPECT_EQ(DecodeTextFile(std::string_view("\xFE\xFF\x04\x2F", 4)), "Я");
}

TEST(TextDecoding, TruncationKeepsWholeCharacters) {
  EXPECT_EQ(TruncateUtf8("аб", 1), "а");
  EXPECT_EQ(TruncateUtf8("a😀b", 2), "a😀");
  EXPECT_EQ(TruncateUtf8("ab", 5), "ab");
  EXPECT_EQ(TruncateUtf8("ab", 0), "");
}

TEST(LanguageFile, UnreadableSourcesGiveNoNameAndEnglishTexts) {
  EXPECT_EQ(ReadLanguageFile("/nonexistent/x.lng"), "");
  EXPECT_EQ(ReadLanguageFile(test::NullDevice()), "");
  EXPECT_EQ(LanguageNameFromText(""), "");
  const LanguageTexts texts = LanguageTextsFromText("garbage without sections");
  EXPECT_EQ(texts[0], "Language");
}
