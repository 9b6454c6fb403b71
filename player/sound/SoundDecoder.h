// Decodes a DefineSound whole, and a stream's blocks one by one, by the sound's codec;
// Nellymoser and Speex are refused with the reason.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Mp3Decoder.h"
#include "Samples.h"
#include "SoundRecords.h"

namespace sound {

// Nothing, with `why` set, for a codec this player does not decode or data that gives no sample.
std::optional<Samples> decodeSound(const swf::DefineSound& sound, std::string& why);

// The name the transcript gives a codec.
const char* codecName(swf::SoundCodec codec);

class StreamDecoder {
 public:
  explicit StreamDecoder(const swf::SoundStreamHead& head);
  // False when the stream's codec is refused.
  bool supported() const { return supported_; }
  // Appends one SoundStreamBlock's samples; `out` has the stream's rate and channels.
  void block(const std::vector<uint8_t>& body, Samples& out);
  uint32_t rate() const { return head_.stream.rate; }
  uint8_t channels() const { return head_.stream.stereo ? 2 : 1; }

 private:
  swf::SoundStreamHead head_;
  bool supported_ = false;
  std::unique_ptr<Mp3Decoder> mp3_;
};

}  // namespace sound
