// Serialises a ProjectSettings into the record's byte format: the inverse of the reader,
// used by the projector builder and by tests that need records of every version.
#pragma once

#include "ProjectSettings.h"

namespace lumo::record {

// The record of `settings` at its `version`, each form at its own `formVersion`. Protected
// strings are written enciphered (kind 1); reserved fields are written empty.
Bytes writeRecord(const ProjectSettings& settings);

// Primitive encoders, also handy for building records by hand in tests.
void appendInt(Bytes& out, std::int32_t value);
void appendText(Bytes& out, std::wstring_view text);

}  // namespace lumo::record
