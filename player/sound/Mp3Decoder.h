// MP3 through libmpg123: bytes are fed as they come (a whole DefineSound body, or one stream
// block after another) and the samples decoded so far are appended.
#pragma once

#include <cstdint>
#include <memory>

#include "Samples.h"

namespace sound {

class Mp3Decoder {
 public:
  // Without trimming, a LAME-tagged file keeps its encoder delay and padding, as players that
  // predate the tag hear it.
  explicit Mp3Decoder(bool trimPadding = true);
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // Appends what the new bytes complete; `out` takes the stream's rate and channels from its
  // first frame. False when the data is no MP3 or this build has no decoder.
  bool feed(const uint8_t* data, size_t size, Samples& out);

  static bool available();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  bool formatKnown_ = false;
};

}  // namespace sound
