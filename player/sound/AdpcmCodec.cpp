// The ADPCM step and index tables and the bit-level decoder and encoder.
#include "AdpcmCodec.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace sound {

namespace {

constexpr int kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes by the code's magnitude bits, one row per code size (2 to 5 bits).
constexpr int kIndexChange2[] = {-1, 2};
constexpr int kIndexChange3[] = {-1, -1, 2, 4};
constexpr int kIndexChange4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndexChange5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexChanges[4] = {kIndexChange2, kIndexChange3, kIndexChange4, kIndexChange5};

constexpr size_t kPacketSamples = 4096;

class BitSource {
 public:
  BitSource(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}
  size_t left() const { return bits_ - pos_; }
  uint32_t take(unsigned count) {
    uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i, ++pos_) v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
    return v;
  }

 private:
  const uint8_t* data_;
  size_t bits_;
  size_t pos_ = 0;
};

class BitSink {
 public:
  void put(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
      if (used_ == 0) out.push_back(0);
      if ((value >> i) & 1) out.back() |= static_cast<uint8_t>(0x80 >> used_);
      used_ = (used_ + 1) & 7;
    }
  }
  std::vector<uint8_t> out;

 private:
  unsigned used_ = 0;
};

struct ChannelState {
  int sample = 0;
  int index = 0;
};

// The difference a code stands for at the channel's step, and the state after it.
int decodeStep(ChannelState& state, uint32_t code, unsigned bits) {
  const uint32_t signMask = 1u << (bits - 1);
  int step = kStepTable[state.index];
  int difference = 0;
  for (uint32_t k = signMask >> 1; k; k >>= 1) {
    if (code & k) difference += step;
    step >>= 1;
  }
  difference += step;
  state.sample = std::clamp(state.sample + ((code & signMask) ? -difference : difference), -32768, 32767);
  state.index = std::clamp(state.index + kIndexChanges[bits - 2][code & (signMask - 1)], 0, 88);
  return state.sample;
}

}  // namespace

void decodeAdpcm(const uint8_t* data, size_t size, Samples& out) {
  if (!data || size == 0 || out.channels == 0) return;
  BitSource in(data, size);
  const unsigned bits = in.take(2) + 2;
  const unsigned channels = out.channels;
  std::array<ChannelState, 2> state{};
  while (in.left() >= 22 * channels) {
    for (unsigned c = 0; c < channels; ++c) {
      state[c].sample = static_cast<int16_t>(in.take(16));
      state[c].index = static_cast<int>(in.take(6));
      out.data.push_back(static_cast<int16_t>(state[c].sample));
    }
    for (size_t n = 1; n < kPacketSamples && in.left() >= bits * channels; ++n)
      for (unsigned c = 0; c < channels; ++c)
        out.data.push_back(static_cast<int16_t>(decodeStep(state[c], in.take(bits), bits)));
  }
}

std::vector<uint8_t> encodeAdpcm(const Samples& samples, unsigned bitsPerCode) {
  const unsigned bits = std::clamp(bitsPerCode, 2u, 5u);
  const unsigned channels = samples.channels;
  BitSink out;
  out.put(bits - 2, 2);
  std::array<ChannelState, 2> state{};
  const size_t frames = samples.frames();
  for (size_t frame = 0; frame < frames; ++frame) {
    const bool packetStart = frame % kPacketSamples == 0;
    for (unsigned c = 0; c < channels; ++c) {
      const int target = samples.data[frame * channels + c];
      if (packetStart) {
        // Each packet starts afresh at the exact sample, with a step index that suits it.
        state[c].sample = target;
        if (frame + 1 < frames) {
          const int delta = std::abs(samples.data[(frame + 1) * channels + c] - target);
          state[c].index = 0;
          // The packet header holds six bits of index.
          while (state[c].index < 63 && kStepTable[state[c].index] < delta) ++state[c].index;
        }
        state[c].index = std::min(state[c].index, 63);
        out.put(static_cast<uint16_t>(target), 16);
        out.put(static_cast<uint32_t>(state[c].index), 6);
        continue;
      }
      // The code whose decoded sample lands nearest: try each and keep the best (codes are few).
      uint32_t best = 0;
      int bestError = 1 << 30;
      for (uint32_t code = 0; code < (1u << bits); ++code) {
        ChannelState trial = state[c];
        const int error = std::abs(decodeStep(trial, code, bits) - target);
        if (error < bestError) bestError = error, best = code;
      }
      decodeStep(state[c], best, bits);
      out.put(best, bits);
    }
  }
  return std::move(out.out);
}

}  // namespace sound
