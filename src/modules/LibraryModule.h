// The built-in module vor.Application.Library: the project's library files written to disk,
// or one of them read as text.
#pragma once

#include "ProjectSettings.h"
#include "lumo/RuntimeModule.h"
#include "modules/CommandMethod.h"

#include <map>
#include <memory>
#include <string>

namespace lumo {

class LibraryModule final : public RuntimeModule {
 public:
  using LibraryFiles = std::map<std::wstring, record::ScrambledBlob>;

  // Reads `files`, which must outlive the module (the project's table lives to process exit).
  explicit LibraryModule(const LibraryFiles& files);

  bool registerMethods() override;
  void poll() override {}

  // The module over the running project's library files.
  static std::unique_ptr<RuntimeModule> create();

 private:
  std::wstring extractAllToDir(FormInterface* form, const Arguments& arguments);
  std::wstring extractAllToExecPath(FormInterface* form, const Arguments& arguments);
  std::wstring extractToExecPath(FormInterface* form, const Arguments& arguments);
  std::wstring extractToFile(FormInterface* form, const Arguments& arguments);
  std::wstring extractToVar(FormInterface* form, const Arguments& arguments);

  // Writes one library file to `target`; silent when the name is unknown or the file cannot
  // be written.
  void writeFile(const std::wstring& name, const std::wstring& target) const;
  void writeAll(const std::wstring& folder) const;

  const LibraryFiles& files_;
};

}  // namespace lumo
