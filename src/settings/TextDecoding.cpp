#include "settings/TextDecoding.h"

#include <cstdint>

namespace orvo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1251 from 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F. 0x98 is
// unassigned.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// Length of the well-formed UTF-8 sequence at `pos` (no overlong forms, no
// surrogates, nothing above U+10FFFF) and its code point; 0 when malformed.
std::size_t DecodeOne(std::string_view s, std::size_t pos, char32_t &cp) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t b0 = byte(pos);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - pos < len)
    return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const std::uint8_t b = byte(pos + i);
    if ((b & 0xC0) != 0x80)
      return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

void AppendUtf8(std::string &out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Utf8Repaired(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    char32_t cp;
    const std::size_t len = DecodeOne(s, pos, cp);
    if (len == 0) {
      AppendUtf8(out, kReplacement);
      ++pos;
    } else {
      out.append(s.substr(pos, len));
      pos += len;
    }
  }
  return out;
}

std::string FromCp1251(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (const char c : s) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x80)
      out.push_back(c);
    else if (b < 0xC0)
      AppendUtf8(out, kCp1251High[b - 0x80]);
    else
      AppendUtf8(out, 0x0410 + (b - 0xC0));
  }
  return out;
}

std::string FromUtf16(std::string_view s, bool bigEndian) {
  std::string out;
  out.reserve(s.size());
  const std::size_t units = s.size() / 2;
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<std::uint8_t>(s[2 * i]);
    const auto b = static_cast<std::uint8_t>(s[2 * i + 1]);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
  }
  if (s.size() % 2 != 0)
    AppendUtf8(out, kReplacement);
  return out;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp;
    const std::size_t len = DecodeOne(text, pos, cp);
    if (len == 0)
      return false;
    pos += len;
  }
  return true;
}

std::string DecodeTextFile(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return Utf8Repaired(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE"))
    return FromUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF"))
    return FromUtf16(bytes.substr(2), true);
  if (IsValidUtf8(bytes))
    return std::string(bytes);
  return FromCp1251(bytes);
}

std::string_view TruncateUtf8(std::string_view text, std::size_t maxChars) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < maxChars && pos < text.size(); ++n) {
    ++pos;
    while (pos < text.size() && (static_cast<std::uint8_t>(text[pos]) & 0xC0) == 0x80)
      ++pos;
  }
  return text.substr(0, pos);
}

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp;
    std::size_t len = DecodeOne(text, pos, cp);
    if (len == 0) {
      cp = kReplacement;
      len = 1;
    }
    pos += len;
    if constexpr (sizeof(wchar_t) == 2) {
      if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        continue;
      }
    }
    out.push_back(static_cast<wchar_t>(cp));
  }
  return out;
}

} // namespace orvo
