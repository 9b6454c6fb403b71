// vor.Application.Library: every method reads the library-file table; the writing ones answer
// with the empty text whatever happened, extractToVar with the file's text in quotes.
#include "modules/LibraryModule.h"

#include "RuntimeApp.h"
#include "util/FileSystem.h"

#include <windows.h>

#include <cstdio>
#include <optional>

namespace lumo {
namespace {

// The folder with one backslash at its end (a folder ending in "/" gets one too).
std::wstring folderPrefix(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

// The working directory at the moment of the call, whatever its length; nothing when it
// cannot be read.
std::optional<std::wstring> workingDirectory() {
  std::wstring folder = currentDirectory();
  if (folder.empty()) return std::nullopt;
  return folder;
}

}  // namespace

LibraryModule::LibraryModule(const LibraryFiles& files)
    : RuntimeModule(L"vor.Application.Library", L"1.0.0", L"", true), files_(files) {}

std::unique_ptr<RuntimeModule> LibraryModule::create() {
  return std::make_unique<LibraryModule>(RuntimeApp::instance().settings.libraryFiles);
}

bool LibraryModule::registerMethods() {
  using Command = std::wstring (LibraryModule::*)(FormInterface*, const Arguments&);
  static const std::pair<const wchar_t*, Command> kCommands[] = {
      {L"extractAllToDir", &LibraryModule::extractAllToDir},
      {L"extractAllToExecPath", &LibraryModule::extractAllToExecPath},
      {L"extractToExecPath", &LibraryModule::extractToExecPath},
      {L"extractToFile", &LibraryModule::extractToFile},
      {L"extractToVar", &LibraryModule::extractToVar},
  };
  for (const auto& [name, command] : kCommands) {
    addMethod(std::make_unique<CommandMethod>(
        name, [this, command](FormInterface* form, const Arguments& arguments) { return (this->*command)(form, arguments); }));
  }
  return true;
}

void LibraryModule::writeFile(const std::wstring& name, const std::wstring& target) const {
  if (name.empty() || target.empty()) return;
  const auto it = files_.find(name);
  if (it == files_.end()) return;
  // One file's content at a time: a walk over a large library never holds more than that.
  // Content the executable cannot give (its media gone) leaves the target as it was.
  const std::optional<record::Bytes> content = record::readContent(it->second);
  if (!content) return;
  std::FILE* file = _wfopen(target.c_str(), L"wb+");  // no folder is made for the target
  if (!file) return;
  if (!content->empty()) std::fwrite(content->data(), 1, content->size(), file);
  std::fclose(file);
}

void LibraryModule::writeAll(const std::wstring& folder) const {
  const std::wstring prefix = folderPrefix(folder);
  for (const auto& [name, blob] : files_) writeFile(name, prefix + name);  // ascending name order
}

std::wstring LibraryModule::extractAllToDir(FormInterface*, const Arguments& arguments) {
  if (!arguments.empty() && !arguments[0].empty()) writeAll(arguments[0]);
  return {};
}

std::wstring LibraryModule::extractAllToExecPath(FormInterface*, const Arguments&) {
  if (const auto folder = workingDirectory()) writeAll(*folder);
  return {};
}

std::wstring LibraryModule::extractToExecPath(FormInterface*, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments[0].empty() || arguments[1].empty()) return {};
  if (const auto folder = workingDirectory()) writeFile(arguments[0], folderPrefix(*folder) + arguments[1]);
  return {};
}

std::wstring LibraryModule::extractToFile(FormInterface*, const Arguments& arguments) {
  if (arguments.size() >= 2) writeFile(arguments[0], arguments[1]);
  return {};
}

std::wstring LibraryModule::extractToVar(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  std::wstring text = L"\"";
  if (const auto it = files_.find(arguments[0]); it != files_.end()) {
    // Each byte becomes the code unit of the same value; the text ends at the first zero byte.
    for (const std::uint8_t byte : record::content(it->second)) {
      if (byte == 0) break;
      text += static_cast<wchar_t>(byte);
    }
  }
  return text + L"\"";
}

}  // namespace lumo
