#pragma once

#include "settings/DriveFields.h"

#include <string>
#include <string_view>

namespace orvo {

// `text` followed by the native separator unless it already ends with one;
// an empty text stays empty.
std::string WithTrailingBackslash(std::string_view text);

// Whether `path` is a folder this process can enter. The current directory
// is never touched, so other threads are unaffected.
bool FolderExists(const std::string &path);

// Creates `path` with every missing folder above it, from the top down.
// True when the folder exists afterwards.
bool CreateFolderPath(const std::string &path);

// Why `output` cannot take the converted files of `input`, in the current
// language, naming both: it is that folder or lies below it (links
// resolved), where a scan would take the files for part of the card. A
// folder still to be created counts by its nearest existing parent. Empty
// when it may.
std::string OutputFolderRefusal(const std::string &input, const std::string &output);

// The folder above `path` as CreateFolderPath climbs: characters are dropped
// from the end until the text ends with a separator (Windows style: also a
// colon, as in "D:"). Empty when no such parent is left.
std::string_view ParentForCreation(std::string_view path, PathStyle style = NativePathStyle);

} // namespace orvo
