// A temporary folder for one end-to-end test: project files written into it, projectors
// built from them by lumo.exe, and the whole folder removed at the end of the test.
#pragma once

#include <string>
#include <vector>

namespace lumo::e2e {

class ProjectFolder {
 public:
  ProjectFolder();
  ~ProjectFolder();
  ProjectFolder(const ProjectFolder&) = delete;
  ProjectFolder& operator=(const ProjectFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
  void write(const std::wstring& name, const std::string& content) const;

  // Writes `projectJson` as project.json and builds it with lumo.exe into `output` (a name
  // in this folder); the builder's exit code, or -1 when it could not run.
  int build(const std::string& projectJson, const std::wstring& output, std::string* builderOutput = nullptr) const;

 private:
  std::wstring path_;
};

// The runtime's private temporary folders ("wrd*.~lk") that exist now.
std::vector<std::wstring> privateFolders();

// Removes, when it goes, every private temporary folder made while it lived: a projector a
// test kills cannot clean up after itself.
class PrivateFolderSweeper {
 public:
  PrivateFolderSweeper() : before_(privateFolders()) {}
  ~PrivateFolderSweeper();
  // The folders made since construction.
  std::vector<std::wstring> created() const;

 private:
  std::vector<std::wstring> before_;
};

void removeFolder(const std::wstring& path);

// A minimal SWF 9 movie: header, frame rectangle, rate, count and the End tag.
std::string minimalMovie();

// Runs uidriver.exe with `arguments`; its exit code (nullopt at the timeout) and output.
struct UiResult {
  int exitCode = -1;
  std::string output;
};
UiResult uidriver(const std::wstring& arguments);

}  // namespace lumo::e2e
