// The resources a projector carries for its owner: the player control ("BIN" 135), the icon
// group of forms and tray (107) and the version information, put into a copy of the runtime
// and read back from a built projector.
#pragma once

#include "ExecutableOptions.h"
#include "pe/IconFile.h"
#include "pe/VersionInfo.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo::builder {

inline constexpr std::uint16_t kPlayerResource = 135;
inline constexpr std::uint16_t kIconGroup = 107;

// The runtime with the options' resources; the runtime itself when there are none. nullopt
// after adding each problem to `errors` ("SOURCE: what is wrong").
std::optional<Bytes> customiseRuntime(const Bytes& runtime, const std::string& runtimeLabel,
                                      const ExecutableOptions& options, std::vector<std::string>& errors);

struct CarriedPlayer {
  std::size_t size = 0;
  std::string sha256;
  std::string machine;  // "x86", "x86-64", or why it is not a DLL
};

struct CarriedResources {
  std::optional<CarriedPlayer> player;
  std::optional<std::vector<pe::IconImage>> icon;
  std::optional<pe::VersionInfo> version;
};

// What `file` carries; each part nullopt when absent (or the file is no PE image).
CarriedResources readCarriedResources(pe::ByteSpan file);

}  // namespace lumo::builder
