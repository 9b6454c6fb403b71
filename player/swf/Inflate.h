// zlib inflation bounded by the size the caller expects, so a small stream claiming a huge
// output never allocates more than that bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct Inflated {
  std::vector<uint8_t> bytes;  // at most the bound; what inflated before any error
  bool complete = false;       // the stream ended cleanly or the bound was reached
};

Inflated inflateBounded(const uint8_t* data, size_t size, size_t maxOutput);

}  // namespace swf
