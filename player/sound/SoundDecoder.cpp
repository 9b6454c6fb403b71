// One decoder per codec, chosen from a table.
#include "SoundDecoder.h"

#include "AdpcmCodec.h"
#include "PcmCodec.h"

namespace sound {

namespace {

struct CodecEntry {
  swf::SoundCodec codec;
  const char* name;
  bool decoded;
};
constexpr CodecEntry kCodecs[] = {
    {swf::SoundCodec::PcmNative, "PCM", true},
    {swf::SoundCodec::Adpcm, "ADPCM", true},
    {swf::SoundCodec::Mp3, "MP3", true},
    {swf::SoundCodec::PcmLittle, "PCM little-endian", true},
    {swf::SoundCodec::Nellymoser16k, "Nellymoser 16 kHz", false},
    {swf::SoundCodec::Nellymoser8k, "Nellymoser 8 kHz", false},
    {swf::SoundCodec::Nellymoser, "Nellymoser", false},
    {swf::SoundCodec::Speex, "Speex", false},
};

const CodecEntry* entry(swf::SoundCodec codec) {
  for (const CodecEntry& e : kCodecs)
    if (e.codec == codec) return &e;
  return nullptr;
}

bool isPcm(swf::SoundCodec codec) { return codec == swf::SoundCodec::PcmNative || codec == swf::SoundCodec::PcmLittle; }

}  // namespace

const char* codecName(swf::SoundCodec codec) {
  const CodecEntry* e = entry(codec);
  return e ? e->name : "unknown codec";
}

std::optional<Samples> decodeSound(const swf::DefineSound& sound, std::string& why) {
  const CodecEntry* e = entry(sound.format.codec);
  if (!e || !e->decoded || (sound.format.codec == swf::SoundCodec::Mp3 && !Mp3Decoder::available())) {
    why = std::string(codecName(sound.format.codec)) + " is not decoded";
    return std::nullopt;
  }
  Samples out;
  out.rate = sound.format.rate;
  out.channels = sound.format.stereo ? 2 : 1;
  const uint8_t* data = sound.data.data();
  const size_t size = sound.data.size();
  if (isPcm(sound.format.codec)) {
    decodePcm(data, size, sound.format.sixteenBit, out);
  } else if (sound.format.codec == swf::SoundCodec::Adpcm) {
    decodeAdpcm(data, size, out);
  } else {
    // Two bytes of seek samples (the encoder's delay), then MP3 frames.
    if (size < 2) {
      why = "MP3 data too short";
      return std::nullopt;
    }
    const int seek = static_cast<int16_t>(data[0] | (data[1] << 8));
    Mp3Decoder decoder(false);  // the original player hears a LAME tag's frame as audio
    decoder.feed(data + 2, size - 2, out);
    const size_t skip = std::min<size_t>(seek > 0 ? size_t(seek) : 0, out.frames()) * out.channels;
    out.data.erase(out.data.begin(), out.data.begin() + std::ptrdiff_t(skip));
  }
  // The declared count bounds what plays: decoders may pad the end.
  if (sound.sampleCount && out.frames() > sound.sampleCount) out.data.resize(size_t(sound.sampleCount) * out.channels);
  if (out.frames() == 0) {
    why = "no samples";
    return std::nullopt;
  }
  return out;
}

StreamDecoder::StreamDecoder(const swf::SoundStreamHead& head) : head_(head) {
  const CodecEntry* e = entry(head.stream.codec);
  supported_ = e && e->decoded && (head.stream.codec != swf::SoundCodec::Mp3 || Mp3Decoder::available());
  if (supported_ && head.stream.codec == swf::SoundCodec::Mp3) mp3_ = std::make_unique<Mp3Decoder>();
}

void StreamDecoder::block(const std::vector<uint8_t>& body, Samples& out) {
  if (!supported_) return;
  if (isPcm(head_.stream.codec)) {
    decodePcm(body.data(), body.size(), head_.stream.sixteenBit, out);
  } else if (head_.stream.codec == swf::SoundCodec::Adpcm) {
    decodeAdpcm(body.data(), body.size(), out);
  } else if (std::optional<swf::Mp3StreamBlock> block = swf::readMp3StreamBlock(body)) {
    Samples decoded;
    decoded.rate = out.rate;
    decoded.channels = out.channels;
    mp3_->feed(block->frames, block->size, decoded);
    out.data.insert(out.data.end(), decoded.data.begin(), decoded.data.end());
  }
}

}  // namespace sound
