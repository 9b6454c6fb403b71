// SHA-256 of a byte block as 64 lowercase hexadecimal digits (OpenSSL), used by inspect to
// identify the files a projector carries.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lumo::builder {

std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace lumo::builder
