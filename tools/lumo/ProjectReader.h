// Reads a project file (JSON) into the record's in-memory form, loading the files it names
// and checking every key; each problem names the project file and the JSON path.
#pragma once

#include "ExecutableOptions.h"
#include "ProjectSettings.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::builder {

struct ProjectLoad {
  record::ProjectSettings settings;
  // The player, icon and version information the projector carries besides its record.
  ExecutableOptions executable;
  // "menuExtension": pack menus.vdd from beside the runtime (the build does, knowing the runtime).
  bool menuExtension = false;
  // "PROJECT: PATH: what is wrong", in the order of the file; empty when the project is good.
  std::vector<std::string> errors;

  bool ok() const { return errors.empty(); }
};

// Why `text` cannot be the value of kVersionKeys[keyIndex]; nullopt when it can.
std::optional<std::string> checkVersionText(std::ptrdiff_t keyIndex, const std::string& text);

ProjectLoad readProject(const std::filesystem::path& projectFile);

// The same from a JSON text: file paths are relative to `baseDir`, messages start with `label`.
ProjectLoad readProjectText(std::string_view json, const std::filesystem::path& baseDir, const std::string& label);

}  // namespace lumo::builder
