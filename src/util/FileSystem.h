// Small file-system services: temporary path, current directory, listing files by pattern and
// removing a whole folder.
#pragma once

#include <string>
#include <vector>

namespace lumo {

std::wstring tempPath();          // as the system gives it, with its trailing backslash
std::wstring currentDirectory();  // empty on failure

// Appends the names (without folder) of the matching entries that are not folders; false when
// nothing at all matches the pattern.
bool listFiles(const std::wstring& pattern, std::vector<std::wstring>& names);

// Deletes the folder and everything in it, silently; failures are ignored.
void removeFolder(const std::wstring& folder);

}  // namespace lumo
