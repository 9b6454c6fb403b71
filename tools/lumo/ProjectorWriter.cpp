#include "ProjectorWriter.h"

#include "RecordWriter.h"
#include "pe/PeChecksum.h"
#include "pe/PeImage.h"

namespace lumo::builder {

namespace {

// The state of the loader's marker search after `bytes`: how many marker bytes are matched.
// It mirrors the loader exactly, including that a mismatch is not compared with byte 0 again.
std::size_t searchState(const Bytes& bytes, bool& found) {
  const auto wanted = record::marker();
  std::size_t matched = 0;
  found = false;
  for (const std::uint8_t b : bytes) {
    matched = b == wanted[matched] ? matched + 1 : 0;
    if (matched == wanted.size()) {
      found = true;
      return matched;
    }
  }
  return matched;
}

}  // namespace

bool holdsMarker(const Bytes& bytes) {
  bool found = false;
  searchState(bytes, found);
  return found;
}

Bytes recordPrefix(const Bytes& runtime) {
  bool found = false;
  Bytes prefix;
  // No marker byte is zero, so a zero byte always brings the search back to its start.
  if (searchState(runtime, found) != 0) prefix.push_back(0);
  const auto m = record::marker();
  prefix.insert(prefix.end(), m.begin(), m.end());
  return prefix;
}

bool writeProjector(const std::filesystem::path& output, const Bytes& runtime,
                    const record::ProjectSettings& settings, std::string& error, bool fixChecksum) {
  Bytes file = runtime;
  const Bytes prefix = recordPrefix(runtime);
  const Bytes record = record::writeRecord(settings);
  file.insert(file.end(), prefix.begin(), prefix.end());
  file.insert(file.end(), record.begin(), record.end());
  // The checksum covers the whole file, the record included.
  std::string notPe;
  const auto image = fixChecksum ? pe::PeImage::parse(runtime, notPe) : std::nullopt;
  if (image) pe::updateChecksum(file, image->offsets().checksum);
  const std::span<const std::uint8_t> parts[] = {file};
  return replaceFile(output, parts, error);
}

}  // namespace lumo::builder
