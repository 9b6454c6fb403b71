// The sound tags of SWF 1 to 8 as plain values: DefineSound, the SOUNDINFO of StartSound and
// StartSound2, SoundStreamHead 1-2, SoundStreamBlock's MP3 header and DefineButtonSound.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BitReader.h"
#include "SwfTypes.h"

namespace swf {

// The four bits of SWF's sound format field.
enum class SoundCodec : uint8_t {
  PcmNative = 0,  // written by the authoring machine, little-endian in practice
  Adpcm = 1,
  Mp3 = 2,
  PcmLittle = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  Speex = 11,
};

struct SoundFormat {
  SoundCodec codec = SoundCodec::PcmNative;
  uint32_t rate = 5512;  // 5512, 11025, 22050 or 44100
  bool sixteenBit = true;
  bool stereo = false;
  friend bool operator==(const SoundFormat&, const SoundFormat&) = default;
};

// The format byte: codec (4 bits), rate (2), 16-bit flag (1), stereo flag (1).
SoundFormat soundFormatFromByte(uint8_t bits);
uint8_t soundFormatByte(const SoundFormat& format);

struct DefineSound {
  CharacterId id = 0;
  SoundFormat format;
  uint32_t sampleCount = 0;  // per channel
  std::vector<uint8_t> data;
};
std::optional<DefineSound> readDefineSound(const std::vector<uint8_t>& body);

struct SoundEnvelopePoint {
  uint32_t position44 = 0;  // in samples at 44.1 kHz from the sound's start
  uint16_t left = 0, right = 0;  // 0..32768
  friend bool operator==(const SoundEnvelopePoint&, const SoundEnvelopePoint&) = default;
};

struct SoundInfo {
  bool stop = false;        // SyncStop: stop the sound instead of starting it
  bool noMultiple = false;  // SyncNoMultiple: do not start it while it plays
  std::optional<uint32_t> inPoint44, outPoint44;
  uint16_t loops = 1;
  std::vector<SoundEnvelopePoint> envelope;
};
std::optional<SoundInfo> readSoundInfo(BitReader& in);
std::vector<uint8_t> writeSoundInfo(const SoundInfo& info);

// StartSound2 names its sound by the class (export) name.
struct StartSound2 {
  std::string className;
  SoundInfo info;
};
std::optional<StartSound2> readStartSound2(const std::vector<uint8_t>& body);

struct SoundStreamHead {
  SoundFormat playback;
  SoundFormat stream;
  uint16_t samplesPerBlock = 0;  // per frame
  int16_t latencySeek = 0;       // MP3 only
};
std::optional<SoundStreamHead> readSoundStreamHead(const std::vector<uint8_t>& body);

// An MP3 stream block starts with its sample count and seek; the MP3 frames follow.
struct Mp3StreamBlock {
  uint16_t sampleCount = 0;
  int16_t seekSamples = 0;
  const uint8_t* frames = nullptr;
  size_t size = 0;
};
std::optional<Mp3StreamBlock> readMp3StreamBlock(const std::vector<uint8_t>& body);

// DefineButtonSound: a sound for each state change (up from over, over from up, down, up from
// down); a zero id plays nothing.
struct ButtonSound {
  CharacterId soundId = 0;
  SoundInfo info;
};
struct DefineButtonSound {
  CharacterId buttonId = 0;
  std::array<ButtonSound, 4> sounds;  // OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp
};
std::optional<DefineButtonSound> readDefineButtonSound(const std::vector<uint8_t>& body);

}  // namespace swf
