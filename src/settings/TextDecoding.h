#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Turning the bytes of a text file written by people (language files, the
// settings file) into valid UTF-8.
namespace orvo {

bool IsValidUtf8(std::string_view text);

// A file with a UTF-8 byte-order mark is UTF-8 (bad sequences become
// U+FFFD); one with a UTF-16 byte-order mark is UTF-16 of that byte order;
// otherwise valid UTF-8 is taken as it is and anything else is read as
// Windows-1251, the ANSI code page the recorder's own tools write Russian
// files in. The byte-order mark is dropped. The result is always valid UTF-8.
std::string DecodeTextFile(std::string_view bytes);

// The first `maxChars` characters (code points) of valid UTF-8 text.
std::string_view TruncateUtf8(std::string_view text, std::size_t maxChars);

// Valid UTF-8 to wide characters (UTF-16 where wchar_t has 16 bits).
std::wstring Utf8ToWide(std::string_view text);

} // namespace orvo
