// Reads the record's primitive values from a stdio stream and knows how many bytes remain,
// so that no length field can make the reader allocate more than the file holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lumo::record {

class RecordInput {
 public:
  explicit RecordInput(std::FILE* stream);

  bool readInt(std::int32_t& value);
  bool readFlag(bool& value);  // true only for exactly 1
  bool readText(std::wstring& text);
  // Reads n bytes; n of 0 or less reads nothing. More than what remains is a failure.
  bool readBytes(std::int32_t n, std::vector<std::uint8_t>& bytes);
  // Passes over n bytes without reading them; more than what remains is a failure.
  bool skip(std::int32_t n);
  // Where the next byte is read from, counted from the file's start.
  std::int64_t position() const;

 private:
  bool readRaw(void* data, std::size_t size);

  std::FILE* stream_;
  std::int64_t remaining_ = 0;
};

}  // namespace lumo::record
