#pragma once

#include <string>
#include <string_view>

// Windows only: the program's paths and texts are UTF-8, the system's wide
// calls take UTF-16. Every path goes through WidePath, never through the
// ANSI calls, whose code page cannot hold every name a card may carry.
namespace orvo::platform {

// False, with the reason kept, when `text` is not valid UTF-8: a name that
// cannot be converted is refused rather than guessed at.
bool ToUtf16(std::string_view text, std::wstring &wide);
// UTF-16 text from the system as UTF-8; false when it holds a lone
// surrogate, which no UTF-8 text can stand for.
bool ToUtf8(std::wstring_view wide, std::string &text);
// As above; a lone surrogate becomes U+FFFD (for messages only).
std::string ToUtf8(std::wstring_view wide);

// `path` for the wide file calls. A path that may reach the old limit of
// 260 characters is made absolute and given the "\\?\" prefix (or
// "\\?\UNC\" for a network path), which lifts that limit; shorter paths
// are passed as they are, so relative ones and "/" separators keep working.
bool WidePath(const std::string &path, std::wstring &wide);

} // namespace orvo::platform
