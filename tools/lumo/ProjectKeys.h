// The keys of a project file and the record field each one fills: one table for the
// project's own keys and one for a form's, walked by the reader (build) and by inspect.
#pragma once

#include "FileChecks.h"
#include "ProjectSettings.h"

#include <cstdint>
#include <limits>
#include <span>
#include <variant>

namespace lumo::builder {

enum class KeyKind : std::uint8_t {
  Integer,  // a whole number in [min, max]
  Choice,   // a whole number in [0, names.size()) or one of the names
  Flag,     // true or false
  FlagInt,  // an int field that means on at 1: true, false, 1 or 0
  Text,     // a string
  Colour,   // a Windows colour 0x00BBGGRR: a number or "#RRGGBB"
  File,     // a path relative to the project file, or null for none
};

template <typename Owner>
using FieldOf = std::variant<std::int32_t Owner::*, bool Owner::*, std::wstring Owner::*,
                             record::StoredBlock Owner::*, record::PackedBlock Owner::*>;

template <typename Owner>
struct KeyRule {
  const char* key;
  KeyKind kind;
  FieldOf<Owner> field;
  std::int32_t min = 0;
  std::int32_t max = std::numeric_limits<std::int32_t>::max();
  std::span<const char* const> names = {};
  FileCheck check = FileCheck::None;
  record::BlockKind blockKind = record::BlockKind::Movie;
};

// In the order of the record, which is also the order inspect prints them.
std::span<const KeyRule<record::ProjectSettings>> projectKeys();
std::span<const KeyRule<record::FormDescription>> formKeys();

// The keys of the project's lists and tables, handled by name in the reader and inspect.
inline constexpr const char* kExtensionsKey = "extensions";
inline constexpr const char* kLibraryFilesKey = "libraryFiles";
inline constexpr const char* kSecureVariablesKey = "secureVariables";
inline constexpr const char* kGlobalVariablesKey = "globalVariables";
inline constexpr const char* kFormsKey = "forms";
// A switch, not a record field: the build packs the standard menu extension first among the
// extensions.
inline constexpr const char* kMenuExtensionKey = "menuExtension";

}  // namespace lumo::builder
