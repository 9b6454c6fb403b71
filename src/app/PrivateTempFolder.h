// The runtime's private temporary folder: created at start-up, holding every file the
// runtime writes (extension modules, bridge files of old movies, the tray icon), and removed
// with its content at shutdown.
#pragma once

#include "ProjectSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo {

// Creates "wrd%x.~lk" in the user's temporary folder; its path without a trailing backslash.
// A name already taken (left by a run that could not clean up) moves on to the next value.
std::optional<std::wstring> createPrivateTempFolder();

// Writes extension i of the record as "<i>.vdd" into `folder`, appending each path written
// to `written`; false at the first extension that cannot be written.
bool writeExtensions(const std::wstring& folder, const std::vector<record::ScrambledBlob>& extensions,
                     std::vector<std::wstring>& written);

// Deletes the folder's files, then the folder with whatever is left in it.
void cleanPrivateTempFolder(const std::wstring& folder);

}  // namespace lumo
