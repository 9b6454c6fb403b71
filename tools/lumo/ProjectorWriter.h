// Writes a projector: the runtime's bytes, the marker and the record. The runtime must not
// hold the marker itself, and its last bytes must not swallow the start of ours.
#pragma once

#include "FileBytes.h"
#include "ProjectSettings.h"

#include <filesystem>
#include <optional>
#include <string>

namespace lumo::builder {

// Why `runtime` cannot carry a record; nullopt when it can.
std::optional<std::string> checkRuntime(const Bytes& runtime);

// What goes between the runtime and the record: the marker, preceded by a zero byte when the
// runtime ends in a partial match (the search would otherwise step over our marker).
Bytes recordPrefix(const Bytes& runtime);

// Writes runtime + prefix + record to `output` through a temporary beside it; on failure
// `output` is untouched and `error` says why.
bool writeProjector(const std::filesystem::path& output, const Bytes& runtime,
                    const record::ProjectSettings& settings, std::string& error);

}  // namespace lumo::builder
