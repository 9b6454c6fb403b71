#include "VersionInfo.h"

#include "Utf.h"

#include <charconv>

namespace lumo::pe {

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint32_t kFixedSize = 52;
constexpr std::uint32_t kFlagsMask = 0x3F;
constexpr std::uint32_t kOsNtWindows32 = 0x00040004;
constexpr std::uint32_t kFileTypeApp = 1;
constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

void appendUtf16(Bytes& out, std::u16string_view text) {
  for (char16_t c : text) appendLe<std::uint16_t>(out, static_cast<std::uint16_t>(c));
  appendLe<std::uint16_t>(out, 0);
}

std::u16string utf16(const std::string& utf8) {
  const std::wstring wide = record::fromUtf8(utf8);
  std::u16string text;
  for (wchar_t c : wide) {
    // On the host wchar_t holds whole code points: split those beyond the BMP into pairs.
    const auto cp = static_cast<std::uint32_t>(c);
    if (cp > 0xFFFF) {
      text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(cp);
    }
  }
  return text;
}

std::string utf8(std::u16string_view text) {
  std::wstring wide;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t cp = text[i];
    if constexpr (sizeof(wchar_t) == 4) {
      if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
      }
    }
    wide += static_cast<wchar_t>(cp);
  }
  return record::toUtf8(wide);
}

// One node of the block tree: length, value length, type, key, padding, value, padding, children.
class Block {
 public:
  Block(std::u16string_view key, std::uint16_t type) {
    appendLe<std::uint16_t>(bytes_, 0);
    appendLe<std::uint16_t>(bytes_, 0);
    appendLe<std::uint16_t>(bytes_, type);
    appendUtf16(bytes_, key);
    padTo(bytes_, 4);
  }
  // `valueLength` counts bytes for binary values and characters for texts.
  void value(const Bytes& value, std::uint16_t valueLength) {
    writeLe<std::uint16_t>(bytes_, 2, valueLength);
    bytes_.insert(bytes_.end(), value.begin(), value.end());
  }
  void child(const Block& block) {
    padTo(bytes_, 4);
    const Bytes b = block.finish();
    bytes_.insert(bytes_.end(), b.begin(), b.end());
  }
  Bytes finish() const {
    Bytes b = bytes_;
    writeLe<std::uint16_t>(b, 0, static_cast<std::uint16_t>(b.size()));
    return b;
  }

 private:
  Bytes bytes_;
};

void appendVersion(Bytes& out, const VersionNumber& v) {
  appendLe<std::uint32_t>(out, std::uint32_t{v[0]} << 16 | v[1]);
  appendLe<std::uint32_t>(out, std::uint32_t{v[2]} << 16 | v[3]);
}

VersionNumber versionAt(ByteSpan b, std::size_t at) {
  const std::uint32_t ms = *readLe<std::uint32_t>(b, at);
  const std::uint32_t ls = *readLe<std::uint32_t>(b, at + 4);
  return {static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms), static_cast<std::uint16_t>(ls >> 16),
          static_cast<std::uint16_t>(ls)};
}

// A block read back: its key, value bytes and the span its children lie in.
struct Node {
  std::u16string key;
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  ByteSpan value;
  ByteSpan children;
  std::size_t length = 0;
};

std::optional<Node> readNode(ByteSpan b) {
  const auto length = readLe<std::uint16_t>(b, 0);
  const auto valueLength = readLe<std::uint16_t>(b, 2);
  const auto type = readLe<std::uint16_t>(b, 4);
  if (!type || *length < 6 || *length > b.size()) return std::nullopt;
  Node node;
  node.length = *length;
  node.valueLength = *valueLength;
  node.type = *type;
  b = b.first(*length);
  std::size_t at = 6;
  for (;;) {
    const auto c = readLe<std::uint16_t>(b, at);
    if (!c) return std::nullopt;
    at += 2;
    if (*c == 0) break;
    node.key += static_cast<char16_t>(*c);
  }
  at = alignUp(at, 4);
  const std::size_t valueBytes = node.type == kText ? std::size_t{*valueLength} * 2 : *valueLength;
  if (at > b.size() || b.size() - at < valueBytes) return std::nullopt;
  node.value = b.subspan(at, valueBytes);
  at = alignUp(at + valueBytes, 4);
  node.children = at < b.size() ? b.subspan(at) : ByteSpan{};
  return node;
}

template <typename Visit>
bool forEachChild(ByteSpan children, Visit&& visit) {
  while (children.size() >= 6) {
    auto node = readNode(children);
    if (!node) return false;
    visit(*node);
    const std::size_t next = alignUp(node->length, 4);
    if (next >= children.size()) break;
    children = children.subspan(next);
  }
  return true;
}

std::u16string textValue(ByteSpan value) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
    const auto c = static_cast<char16_t>(value[i] | value[i + 1] << 8);
    if (c == 0) break;
    text += c;
  }
  return text;
}

}  // namespace

std::optional<VersionNumber> parseVersionNumber(std::string_view text) {
  VersionNumber v{};
  std::size_t part = 0;
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (;;) {
    if (part == v.size() || p == end || *p < '0' || *p > '9') return std::nullopt;
    unsigned value = 0;
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || value > 0xFFFF) return std::nullopt;
    v[part++] = static_cast<std::uint16_t>(value);
    p = next;
    if (p == end) return v;
    if (*p++ != '.') return std::nullopt;
  }
}

std::string versionText(const VersionNumber& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

Bytes writeVersionInfo(const VersionInfo& info) {
  Bytes fixed;
  appendLe<std::uint32_t>(fixed, kFixedSignature);
  appendLe<std::uint32_t>(fixed, kFixedStructVersion);
  appendVersion(fixed, info.fileVersion);
  appendVersion(fixed, info.productVersion);
  appendLe<std::uint32_t>(fixed, kFlagsMask);
  appendLe<std::uint32_t>(fixed, 0);  // flags: a release build
  appendLe<std::uint32_t>(fixed, kOsNtWindows32);
  appendLe<std::uint32_t>(fixed, kFileTypeApp);
  appendLe<std::uint32_t>(fixed, 0);  // subtype
  appendLe<std::uint32_t>(fixed, 0);  // date
  appendLe<std::uint32_t>(fixed, 0);

  Block table(u"040904B0", kText);
  for (const auto& [key, value] : info.strings) {
    Block string(utf16(key), kText);
    Bytes text;
    const std::u16string v = utf16(value);
    appendUtf16(text, v);
    string.value(text, static_cast<std::uint16_t>(v.size() + 1));
    table.child(string);
  }
  Block stringInfo(u"StringFileInfo", kText);
  stringInfo.child(table);

  Block translation(u"Translation", kBinary);
  Bytes pair;
  appendLe<std::uint16_t>(pair, kVersionLanguage);
  appendLe<std::uint16_t>(pair, kVersionCodePage);
  translation.value(pair, static_cast<std::uint16_t>(pair.size()));
  Block varInfo(u"VarFileInfo", kText);
  varInfo.child(translation);

  Block root(u"VS_VERSION_INFO", kBinary);
  root.value(fixed, kFixedSize);
  root.child(stringInfo);
  root.child(varInfo);
  return root.finish();
}

std::optional<VersionInfo> readVersionInfo(ByteSpan resource) {
  const auto root = readNode(resource);
  if (!root || root->key != u"VS_VERSION_INFO" || root->value.size() < kFixedSize ||
      *readLe<std::uint32_t>(root->value, 0) != kFixedSignature) {
    return std::nullopt;
  }
  VersionInfo info;
  info.fileVersion = versionAt(root->value, 8);
  info.productVersion = versionAt(root->value, 16);
  bool tableRead = false;
  const bool ok = forEachChild(root->children, [&](const Node& child) {
    if (child.key != u"StringFileInfo") return;
    forEachChild(child.children, [&](const Node& table) {
      if (tableRead) return;
      tableRead = true;
      forEachChild(table.children, [&](const Node& string) {
        info.strings.emplace_back(utf8(string.key), utf8(textValue(string.value)));
      });
    });
  });
  if (!ok) return std::nullopt;
  return info;
}

}  // namespace lumo::pe
