#include "RecordInput.h"

#include "RecordFormat.h"
#include "Utf.h"

#include <span>

namespace lumo::record {

namespace {

std::int64_t tell(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

bool seek(std::FILE* f, std::int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, offset, origin) == 0;
#else
  return fseeko(f, offset, origin) == 0;
#endif
}

}  // namespace

RecordInput::RecordInput(std::FILE* stream) : stream_(stream) {
  const std::int64_t here = tell(stream);
  if (here >= 0 && seek(stream, 0, SEEK_END)) {
    const std::int64_t end = tell(stream);
    seek(stream, here, SEEK_SET);
    if (end >= here) remaining_ = end - here;
  }
}

bool RecordInput::readRaw(void* data, std::size_t size) {
  if (size == 0) return true;
  if (static_cast<std::int64_t>(size) > remaining_) return false;
  if (std::fread(data, 1, size, stream_) != size) return false;
  remaining_ -= static_cast<std::int64_t>(size);
  return true;
}

bool RecordInput::readInt(std::int32_t& value) {
  std::uint8_t b[4];
  if (!readRaw(b, 4)) return false;
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                    static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

bool RecordInput::readFlag(bool& value) {
  std::int32_t raw = 0;
  if (!readInt(raw)) return false;
  value = raw == 1;
  return true;
}

bool RecordInput::readText(std::wstring& text) {
  std::int32_t n = 0;
  std::vector<std::uint8_t> bytes;
  if (!readInt(n) || !readBytes(n, bytes)) return false;
  transformText(bytes);
  std::size_t end = 0;
  while (end < bytes.size() && bytes[end] != 0) ++end;
  text = fromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), end));
  return true;
}

bool RecordInput::readBytes(std::int32_t n, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (n <= 0) return true;
  if (n > remaining_) return false;  // checked before allocating: lengths are untrusted
  bytes.resize(static_cast<std::size_t>(n));
  return readRaw(bytes.data(), bytes.size());
}

bool RecordInput::skip(std::int32_t n) {
  if (n <= 0) return true;
  if (n > remaining_ || !seek(stream_, n, SEEK_CUR)) return false;
  remaining_ -= n;
  return true;
}

std::int64_t RecordInput::position() const { return tell(stream_); }

}  // namespace lumo::record
