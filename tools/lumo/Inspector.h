// Describes a projector's record as JSON in the project file's own shape: settings as
// written, variables deciphered, each embedded file as {"size": N, "sha256": "..."}.
#pragma once

#include "ProjectSettings.h"
#include "RuntimeResources.h"

#include <string>

namespace lumo::builder {

// The description, indented, with "version" and each form's "formVersion" added, and
// what the executable carries ("player", "icon", "versionInfo"; null where absent).
std::string describeProject(const record::ProjectSettings& settings, const CarriedResources& carried = {});

}  // namespace lumo::builder
