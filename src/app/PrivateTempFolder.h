// The runtime's private temporary folder: created at start-up, holding every file the
// runtime writes (extension modules, bridge files of old movies, the tray icon), and removed
// with its content at shutdown.
#pragma once

#include "ProjectSettings.h"
#include "UniqueHandle.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo {

// Creates "wrd%x.~lk" in the user's temporary folder; its path without a trailing backslash.
// A name already taken (left by a run that could not clean up) moves on to the next value.
std::optional<std::wstring> createPrivateTempFolder();

// The lock file a running projector holds open, with no sharing, in its private folder: a
// folder holding it whose file can be opened belongs to a run that ended without cleaning up.
inline constexpr wchar_t kPrivateFolderLockName[] = L"run.lock";

// Creates the lock file in `folder` and holds it; an empty handle when it cannot.
UniqueFileHandle holdPrivateFolderLock(const std::wstring& folder);

// Removes the private folders of dead runs under `temp` (the user's temporary folder when
// empty): folders named like ours that hold our lock file and whose lock can be taken. A live
// run's folder and a folder without our lock file are left alone.
void removeFoldersOfDeadRuns(std::wstring temp = {});

// Writes extension i of the record as "<i>.vdd" into `folder`, appending each path written
// to `written`; false at the first extension that cannot be written.
bool writeExtensions(const std::wstring& folder, const std::vector<record::ScrambledBlob>& extensions,
                     std::vector<std::wstring>& written);

// Deletes the folder's files, then the folder with whatever is left in it.
void cleanPrivateTempFolder(const std::wstring& folder);

}  // namespace lumo
