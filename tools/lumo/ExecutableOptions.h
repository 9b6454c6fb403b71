// What a projector carries besides its record: the player control DLL, the icon and the
// version information, given by project-file keys or by `lumo build` options.
#pragma once

#include "FileBytes.h"

#include <array>
#include <optional>
#include <string>

namespace lumo::builder {

// The version keys: the project file's name (also the option's, as --file-version etc.) and
// the string the version resource holds. The two versions come first.
struct VersionKey {
  const char* key;
  const char* option;
  const char* resourceName;
};
inline constexpr std::array<VersionKey, 6> kVersionKeys = {{
    {"fileVersion", "--file-version", "FileVersion"},
    {"productVersion", "--product-version", "ProductVersion"},
    {"productName", "--product-name", "ProductName"},
    {"company", "--company", "CompanyName"},
    {"description", "--description", "FileDescription"},
    {"copyright", "--copyright", "LegalCopyright"},
}};
inline constexpr const char* kPlayerKey = "player";
inline constexpr const char* kIconKey = "icon";
inline constexpr const char* kVersionInfoKey = "versionInfo";
// Longest version text, in UTF-8 bytes: the resource's blocks count their length in 16 bits.
inline constexpr std::size_t kMaxVersionText = 1024;

struct CarriedFile {
  Bytes bytes;
  std::string source;  // where it was named, for messages: `game.json: player` or `--player`
  std::string path;
};

struct ExecutableOptions {
  std::optional<CarriedFile> player;
  std::optional<CarriedFile> icon;
  // Values by the index of kVersionKeys; versions already checked.
  std::array<std::optional<std::string>, kVersionKeys.size()> version;

  bool hasVersion() const {
    for (const auto& v : version)
      if (v) return true;
    return false;
  }
  bool any() const { return player || icon || hasVersion(); }
};

}  // namespace lumo::builder
