#pragma once

#include <string>
#include <string_view>

// Why the last failed call of the platform layer failed, kept per thread in
// the manner of errno: only a failure sets it, so a caller reads it right
// after the call that answered false.
namespace orvo::platform {

// The system's wording of the reason ("No space left on device"), or one of
// this layer's own ("not a regular file"); empty when nothing failed yet.
std::string LastErrorText();

// Records the system's error code of this moment (errno on POSIX,
// GetLastError on Windows) as the reason.
void KeepSystemError();
void KeepSystemError(int code);
// Records a reason the system has no code for.
void KeepError(std::string_view text);
// Forgets the last reason, so that a later LastErrorText tells whether a
// call in between failed with one.
void ClearLastError();

} // namespace orvo::platform
