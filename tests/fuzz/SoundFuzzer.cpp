// Fuzzes the sound tags' records and every decoder: the first byte picks the format, the rest
// is a DefineSound's data, a stream block, a SOUNDINFO, a DefineButtonSound body and an MP3
// file with its ID3 tag at once.
#include <cstdint>
#include <vector>

#include "Mixer.h"
#include "Mp3File.h"
#include "SoundDecoder.h"
#include "SoundRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::vector<uint8_t> body(data + 1, data + size);
  swf::DefineSound define;
  define.format = swf::soundFormatFromByte(data[0]);
  define.data = body;
  std::string why;
  if (std::optional<sound::Samples> samples = sound::decodeSound(define, why)) {
    // What decodes also plays: a short mix touches every sample path.
    sound::Mixer mixer;
    mixer.play(std::make_shared<sound::Samples>(std::move(*samples)), {});
    int16_t out[2048];
    mixer.mix(out, 1024);
  }
  swf::SoundStreamHead head;
  head.stream = define.format;
  sound::StreamDecoder stream(head);
  sound::Samples block;
  block.rate = stream.rate();
  block.channels = stream.channels();
  stream.block(body, block);
  swf::BitReader in(body.data(), body.size());
  volatile bool read = swf::readSoundInfo(in).has_value() && swf::readDefineButtonSound(body).has_value() &&
                       swf::readStartSound2(body).has_value();
  (void)read;
  volatile bool file = sound::decodeMp3File(body).has_value() || sound::readId3(body).has_value();
  (void)file;
  return 0;
}
