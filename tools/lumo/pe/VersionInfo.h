// The version information resource (VS_VERSIONINFO): the fixed file and product versions
// and the strings Explorer shows, written for US English in Unicode and read back for inspect.
#pragma once

#include "ByteOrder.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumo::pe {

using VersionNumber = std::array<std::uint16_t, 4>;

// "1", "1.2", "1.2.3" or "1.2.3.4", each part 0 to 65535; missing parts are 0.
std::optional<VersionNumber> parseVersionNumber(std::string_view text);

struct VersionInfo {
  VersionNumber fileVersion{};
  VersionNumber productVersion{};
  // Key ("FileVersion", "CompanyName", ...) and UTF-8 value, in the order written.
  std::vector<std::pair<std::string, std::string>> strings;
};

inline constexpr std::uint16_t kVersionLanguage = 0x0409;  // US English
inline constexpr std::uint16_t kVersionCodePage = 1200;    // Unicode

Bytes writeVersionInfo(const VersionInfo& info);

// The fixed versions and the strings of the first string table; nullopt when damaged.
std::optional<VersionInfo> readVersionInfo(ByteSpan resource);

std::string versionText(const VersionNumber& v);

}  // namespace lumo::pe
