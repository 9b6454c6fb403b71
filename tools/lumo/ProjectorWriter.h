// Writes a projector: the runtime's bytes, the marker and the record. The runtime must not
// hold the marker itself, and its last bytes must not swallow the start of ours.
#pragma once

#include "FileBytes.h"
#include "ProjectSettings.h"

#include <filesystem>
#include <string>

namespace lumo::builder {

// Whether `bytes` hold the marker: the loader would take it for the start of the record.
bool holdsMarker(const Bytes& bytes);

// What goes between the runtime and the record: the marker, preceded by a zero byte when the
// runtime ends in a partial match (the search would otherwise step over our marker).
Bytes recordPrefix(const Bytes& runtime);

// Writes runtime + prefix + record to `output` through a temporary beside it; on failure
// `output` is untouched and `error` says why. With `fixChecksum` (a runtime whose resources
// were rewritten) the PE checksum is set for the whole file; otherwise the runtime's bytes
// stay exactly as they were.
bool writeProjector(const std::filesystem::path& output, const Bytes& runtime,
                    const record::ProjectSettings& settings, std::string& error, bool fixChecksum = false);

}  // namespace lumo::builder
