// Reads the sound tags' records; every count from the file is checked against what remains.
#include "SoundRecords.h"

#include <algorithm>

namespace swf {

namespace {

constexpr uint32_t kRates[4] = {5512, 11025, 22050, 44100};

}  // namespace

SoundFormat soundFormatFromByte(uint8_t bits) {
  SoundFormat f;
  f.codec = static_cast<SoundCodec>(bits >> 4);
  f.rate = kRates[(bits >> 2) & 3];
  f.sixteenBit = (bits & 2) != 0;
  f.stereo = (bits & 1) != 0;
  return f;
}

uint8_t soundFormatByte(const SoundFormat& format) {
  uint8_t rateCode = 0;
  for (uint8_t i = 0; i < 4; ++i)
    if (kRates[i] == format.rate) rateCode = i;
  return static_cast<uint8_t>((static_cast<uint8_t>(format.codec) << 4) | (rateCode << 2) |
                              (format.sixteenBit ? 2 : 0) | (format.stereo ? 1 : 0));
}

std::optional<DefineSound> readDefineSound(const std::vector<uint8_t>& body) {
  BitReader in(body.data(), body.size());
  DefineSound sound;
  sound.id = in.u16();
  sound.format = soundFormatFromByte(in.u8());
  sound.sampleCount = in.u32();
  if (!in.ok()) return std::nullopt;
  sound.data = in.rest();
  return sound;
}

std::optional<SoundInfo> readSoundInfo(BitReader& in) {
  SoundInfo info;
  const uint8_t flags = in.u8();
  info.stop = flags & 0x20;
  info.noMultiple = flags & 0x10;
  if (flags & 0x01) info.inPoint44 = in.u32();
  if (flags & 0x02) info.outPoint44 = in.u32();
  if (flags & 0x04) info.loops = in.u16();
  if (flags & 0x08) {
    const uint8_t count = in.u8();
    for (uint8_t i = 0; i < count && in.ok(); ++i) {
      SoundEnvelopePoint point;
      point.position44 = in.u32();
      point.left = in.u16();
      point.right = in.u16();
      if (in.ok()) info.envelope.push_back(point);
    }
  }
  if (!in.ok()) return std::nullopt;
  return info;
}

std::vector<uint8_t> writeSoundInfo(const SoundInfo& info) {
  std::vector<uint8_t> out;
  auto u16 = [&](uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const bool hasLoops = info.loops != 1;
  out.push_back(static_cast<uint8_t>((info.stop ? 0x20 : 0) | (info.noMultiple ? 0x10 : 0) |
                                     (info.envelope.empty() ? 0 : 0x08) | (hasLoops ? 0x04 : 0) |
                                     (info.outPoint44 ? 0x02 : 0) | (info.inPoint44 ? 0x01 : 0)));
  if (info.inPoint44) u32(*info.inPoint44);
  if (info.outPoint44) u32(*info.outPoint44);
  if (hasLoops) u16(info.loops);
  if (!info.envelope.empty()) {
    out.push_back(static_cast<uint8_t>(std::min<size_t>(info.envelope.size(), 255)));
    for (size_t i = 0; i < info.envelope.size() && i < 255; ++i) {
      u32(info.envelope[i].position44);
      u16(info.envelope[i].left);
      u16(info.envelope[i].right);
    }
  }
  return out;
}

std::optional<StartSound2> readStartSound2(const std::vector<uint8_t>& body) {
  BitReader in(body.data(), body.size());
  StartSound2 start;
  start.className = in.string();
  std::optional<SoundInfo> info = readSoundInfo(in);
  if (!in.ok() || !info) return std::nullopt;
  start.info = std::move(*info);
  return start;
}

std::optional<SoundStreamHead> readSoundStreamHead(const std::vector<uint8_t>& body) {
  BitReader in(body.data(), body.size());
  SoundStreamHead head;
  head.playback = soundFormatFromByte(in.u8() & 0x0F);
  head.stream = soundFormatFromByte(in.u8());
  head.samplesPerBlock = in.u16();
  if (!in.ok()) return std::nullopt;
  if (head.stream.codec == SoundCodec::Mp3 && in.remaining() >= 2) head.latencySeek = in.i16();
  return head;
}

std::optional<Mp3StreamBlock> readMp3StreamBlock(const std::vector<uint8_t>& body) {
  if (body.size() < 4) return std::nullopt;
  BitReader in(body.data(), body.size());
  Mp3StreamBlock block;
  block.sampleCount = in.u16();
  block.seekSamples = in.i16();
  block.frames = body.data() + 4;
  block.size = body.size() - 4;
  return block;
}

std::optional<DefineButtonSound> readDefineButtonSound(const std::vector<uint8_t>& body) {
  BitReader in(body.data(), body.size());
  DefineButtonSound button;
  button.buttonId = in.u16();
  for (ButtonSound& sound : button.sounds) {
    sound.soundId = in.u16();
    if (!in.ok()) return std::nullopt;
    if (sound.soundId == 0) continue;
    std::optional<SoundInfo> info = readSoundInfo(in);
    if (!info) return std::nullopt;
    sound.info = std::move(*info);
  }
  return button;
}

}  // namespace swf
