#pragma once

#include <string>
#include <string_view>

namespace orvo {

// `text` for one printed line: a name on the card cannot end the line, move
// the cursor or pass for another line. Line feed and tab become "\n" and
// "\t", every other byte below 0x20 and 0x7F "\xNN", and a backslash that is
// not the native path separator "\\".
std::string PrintableText(std::string_view text);

// `text` as a JSON string with its quotes (RFC 8259): quote, backslash and
// control characters escaped; bytes that are not UTF-8 become U+FFFD, so the
// document is always valid.
std::string JsonString(std::string_view text);

} // namespace orvo
