// Inflates in steps, growing the output as data comes, up to the caller's bound: a forged
// size in a header costs nothing until the stream really holds that much.
#include "Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace swf {

Inflated inflateBounded(const uint8_t* data, size_t size, size_t maxOutput) {
  Inflated result;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return result;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
  const size_t step = 64 * 1024;
  int rc = Z_OK;
  while (result.bytes.size() < maxOutput) {
    size_t done = result.bytes.size();
    size_t grow = std::min({step + done, maxOutput - done, static_cast<size_t>(UINT_MAX)});
    result.bytes.resize(done + grow);
    stream.next_out = result.bytes.data() + done;
    stream.avail_out = static_cast<uInt>(grow);
    rc = inflate(&stream, Z_NO_FLUSH);
    result.bytes.resize(done + (grow - stream.avail_out));
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) break;  // corrupt or cut short (Z_BUF_ERROR: no more input)
  }
  result.complete = rc == Z_STREAM_END || (rc == Z_OK && result.bytes.size() == maxOutput);
  inflateEnd(&stream);
  return result;
}

}  // namespace swf
