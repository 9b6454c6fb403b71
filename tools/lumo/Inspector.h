// Describes a projector's record as JSON in the project file's own shape: settings as
// written, variables deciphered, each embedded file as {"size": N, "sha256": "..."}.
#pragma once

#include "ProjectSettings.h"

#include <string>

namespace lumo::builder {

// The description, indented, with "version" and each form's "formVersion" added.
std::string describeProject(const record::ProjectSettings& settings);

}  // namespace lumo::builder
