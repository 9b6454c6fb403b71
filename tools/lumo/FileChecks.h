// Checks that an embedded file is what its key says (a Flash movie, a bitmap the runtime can
// draw, an icon, a DLL) so a bad file is refused when building, not when the projector runs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lumo::builder {

enum class FileCheck : std::uint8_t {
  None,        // any bytes (library files)
  Movie,       // SWF: "FWS", "CWS" or "ZWS"
  Bitmap,      // BMP with a 40-byte (or larger) information header
  DirectBitmap,  // the same, 16, 24 or 32 bits per pixel: drawn without a colour table
  Icon,        // ICO
  Dll,         // a Windows module ("MZ")
};

// Why `bytes` is not such a file; nullopt when it is.
std::optional<std::string> checkFile(std::span<const std::uint8_t> bytes, FileCheck check);

}  // namespace lumo::builder
