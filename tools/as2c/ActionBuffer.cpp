#include "ActionBuffer.h"

#include <cmath>
#include <cstring>

namespace as2c {

namespace {

constexpr size_t kMaxActionLength = 0xFFFF;

enum PushType : uint8_t { kString = 0, kNull = 2, kUndefined = 3, kRegister = 4, kBoolean = 5, kDouble = 6, kInteger = 7 };

}  // namespace

void ActionBuffer::putU16(Bytes& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void ActionBuffer::putString(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void ActionBuffer::op(Op code) {
  openPush_ = SIZE_MAX;
  bytes_.push_back(static_cast<uint8_t>(code));
}

void ActionBuffer::op(Op code, const Bytes& payload) {
  if (payload.size() > kMaxActionLength) throw CompileError({}, "an action is longer than 65535 bytes");
  openPush_ = SIZE_MAX;
  bytes_.push_back(static_cast<uint8_t>(code));
  putU16(bytes_, static_cast<unsigned>(payload.size()));
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
}

void ActionBuffer::append(const Bytes& actions) {
  openPush_ = SIZE_MAX;
  bytes_.insert(bytes_.end(), actions.begin(), actions.end());
}

void ActionBuffer::pushValue(const Bytes& encoded) {
  if (openPush_ != SIZE_MAX) {
    const size_t length = bytes_[openPush_ + 1] | (bytes_[openPush_ + 2] << 8);
    if (length + encoded.size() <= kMaxActionLength) {
      bytes_.insert(bytes_.end(), encoded.begin(), encoded.end());
      bytes_[openPush_ + 1] = static_cast<uint8_t>((length + encoded.size()) & 0xFF);
      bytes_[openPush_ + 2] = static_cast<uint8_t>((length + encoded.size()) >> 8);
      return;
    }
  }
  op(Op::Push, encoded);
  openPush_ = bytes_.size() - encoded.size() - 3;
}

void ActionBuffer::pushString(const std::string& text) {
  Bytes encoded{kString};
  putString(encoded, text);
  pushValue(encoded);
}

void ActionBuffer::pushNumber(double value) {
  if (std::isfinite(value) && value == std::floor(value) && value >= -2147483648.0 && value <= 2147483647.0 &&
      !(value == 0 && std::signbit(value))) {
    pushInteger(static_cast<int32_t>(value));
    return;
  }
  // A double is stored as its high 32 bits, then its low 32 bits, each little-endian.
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Bytes encoded{kDouble};
  for (int half : {32, 0}) {
    const uint32_t word = static_cast<uint32_t>(bits >> half);
    for (int i = 0; i < 4; ++i) encoded.push_back(static_cast<uint8_t>(word >> (8 * i)));
  }
  pushValue(encoded);
}

void ActionBuffer::pushInteger(int32_t value) {
  Bytes encoded{kInteger};
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) encoded.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  pushValue(encoded);
}

void ActionBuffer::pushBoolean(bool value) { pushValue({kBoolean, static_cast<uint8_t>(value ? 1 : 0)}); }
void ActionBuffer::pushNull() { pushValue({kNull}); }
void ActionBuffer::pushUndefined() { pushValue({kUndefined}); }
void ActionBuffer::pushRegister(uint8_t index) { pushValue({kRegister, index}); }
void ActionBuffer::storeRegister(uint8_t index) { op(Op::StoreRegister, {index}); }

ActionBuffer::Label ActionBuffer::newLabel() {
  labels_.push_back(SIZE_MAX);
  return labels_.size() - 1;
}

void ActionBuffer::bind(Label label) {
  openPush_ = SIZE_MAX;  // a jump may land here: no later value may join an earlier Push
  labels_[label] = bytes_.size();
}

void ActionBuffer::branch(Op code, Label label) {
  op(code, {0, 0});
  fixups_.push_back({bytes_.size() - 2, label});
}

void ActionBuffer::jump(Label label) { branch(Op::Jump, label); }
void ActionBuffer::jumpIf(Label label) { branch(Op::If, label); }

Bytes ActionBuffer::finish(SourcePosition at) {
  for (const Fixup& fixup : fixups_) {
    const size_t target = labels_[fixup.label];
    if (target == SIZE_MAX) throw CompileError(at, "internal error: a jump to a label never placed");
    // The offset counts from the end of the jump action, which is where its payload ends.
    const long offset = static_cast<long>(target) - static_cast<long>(fixup.at + 2);
    if (offset < -32768 || offset > 32767) throw CompileError(at, "a jump is longer than 32767 bytes; split the code into functions");
    const uint16_t bits = static_cast<uint16_t>(static_cast<int16_t>(offset));
    bytes_[fixup.at] = static_cast<uint8_t>(bits & 0xFF);
    bytes_[fixup.at + 1] = static_cast<uint8_t>(bits >> 8);
  }
  fixups_.clear();
  return bytes_;
}

}  // namespace as2c
