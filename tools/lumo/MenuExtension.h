// The standard menu extension (menus.vdd) that ships beside the runtime: packed first among a
// project's extensions when the project sets "menuExtension".
#pragma once

#include "FileBytes.h"
#include "ProjectSettings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lumo::builder {

inline constexpr const char* kMenuExtensionFile = "menus.vdd";

// Reads menus.vdd from the runtime's folder and puts it before the project's own extensions,
// so the menu classes load even when a later extension fails. Adds a problem to `errors` when
// the file is missing, is no DLL, or was built for another architecture than the runtime.
void packMenuExtension(const std::filesystem::path& runtimePath, const Bytes& runtime,
                       record::ProjectSettings& settings, std::vector<std::string>& errors);

}  // namespace lumo::builder
