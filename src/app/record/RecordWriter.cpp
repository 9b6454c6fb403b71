#include "RecordWriter.h"

#include "RecordFields.h"
#include "Utf.h"

#include <algorithm>

namespace lumo::record {

void appendInt(Bytes& out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

void appendText(Bytes& out, std::wstring_view text) {
  const std::string utf8 = toUtf8(text);
  Bytes bytes(utf8.begin(), utf8.end());
  transformText(bytes);
  appendInt(out, static_cast<std::int32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

namespace {

// Table entries in UTF-16 code-unit order, the runtime's order, on every platform: on the
// host a wstring holds code points, which sort names above U+FFFF differently.
template <typename Value>
std::vector<const std::pair<const std::wstring, Value>*> inUtf16Order(const std::map<std::wstring, Value>& table) {
  std::vector<const std::pair<const std::wstring, Value>*> entries;
  for (const auto& entry : table) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) { return toUtf16(a->first) < toUtf16(b->first); });
  return entries;
}

class RecordWriter {
 public:
  explicit RecordWriter(Bytes& out) : out_(out) {}

  bool integer(std::int32_t value) { appendInt(out_, value); return true; }
  bool flag(bool value) { appendInt(out_, value ? 1 : 0); return true; }
  bool text(const std::wstring& value) { appendText(out_, value); return true; }
  bool block(const StoredBlock& block) { return bytes(block.storedBytes()); }
  bool packed(const PackedBlock& block, BlockKind) {
    appendInt(out_, static_cast<std::int32_t>(block.stored.size()));
    appendInt(out_, block.unpackedLength);
    out_.insert(out_.end(), block.stored.begin(), block.stored.end());
    return true;
  }
  bool protectedString(const ProtectedString& value) {
    appendInt(out_, 1);
    return bytes(value.enciphered());
  }
  bool blob(const ScrambledBlob& blob) { return integer(blob.tag) && block(blob.block); }

  bool forms(const std::vector<std::unique_ptr<FormDescription>>& forms) {
    appendInt(out_, static_cast<std::int32_t>(forms.size()));
    for (const auto& form : forms) {
      appendInt(out_, form->formVersion);
      visitFormFields(*this, *form, form->formVersion);
    }
    return true;
  }
  bool blobList(const std::vector<ScrambledBlob>& list) {
    appendInt(out_, static_cast<std::int32_t>(list.size()));
    for (const auto& item : list) blob(item);
    return true;
  }
  bool protectedTable(const std::map<std::wstring, ProtectedString>& table) {
    appendInt(out_, static_cast<std::int32_t>(table.size()));
    for (const auto* entry : inUtf16Order(table)) text(entry->first) && protectedString(entry->second);
    return true;
  }
  bool blobTable(const std::map<std::wstring, ScrambledBlob>& table) {
    appendInt(out_, static_cast<std::int32_t>(table.size()));
    for (const auto* entry : inUtf16Order(table)) text(entry->first) && blob(entry->second);
    return true;
  }

  bool reservedInt() { return integer(0); }
  bool reservedFlag() { return integer(0); }
  bool reservedText() { return integer(0); }
  bool reservedBlock() { return integer(0); }
  bool reservedProtectedList() { return integer(0); }

 private:
  bool bytes(const Bytes& data) {
    appendInt(out_, static_cast<std::int32_t>(data.size()));
    out_.insert(out_.end(), data.begin(), data.end());
    return true;
  }

  Bytes& out_;
};

}  // namespace

Bytes writeRecord(const ProjectSettings& settings) {
  Bytes out;
  RecordWriter writer(out);
  writer.integer(settings.version);
  visitSettingsFields(writer, settings, settings.version);
  return out;
}

}  // namespace lumo::record
