// Styled text's runs, and the conversions between UTF-8 and UTF-16.
#include "TextFormat.h"

namespace text {

void StyledText::append(std::u16string_view more, const TextFormat& format) {
  if (runs.empty() || !(runs.back().format == format)) {
    if (!runs.empty() && runs.back().start == text.size()) runs.back().format = format;
    else runs.push_back({text.size(), format});
  }
  text.append(more);
}

const TextFormat& StyledText::formatAt(size_t index) const {
  static const TextFormat kDefault;
  if (runs.empty()) return kDefault;
  size_t lo = 0, hi = runs.size();
  while (hi - lo > 1) {
    const size_t mid = (lo + hi) / 2;
    if (runs[mid].start <= index) lo = mid;
    else hi = mid;
  }
  return runs[lo].format;
}

std::u16string fromUtf8(std::string_view s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const auto byte = [&](size_t k) { return uint8_t(s[k]); };
    const uint8_t lead = byte(i);
    uint32_t code = 0xFFFD;
    size_t length = 1;
    if (lead < 0x80) code = lead;
    else if (lead >= 0xC2 && lead < 0xF5) {
      length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      bool ok = i + length <= s.size();
      uint32_t value = lead & (0x3F >> (length - 1));
      for (size_t k = 1; ok && k < length; ++k) {
        ok = (byte(i + k) & 0xC0) == 0x80;
        value = value << 6 | (byte(i + k) & 0x3F);
      }
      if (ok && value <= 0x10FFFF && !(value >= 0xD800 && value < 0xE000)) code = value;
      else length = 1;
    }
    i += length;
    if (code >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(code));
    }
  }
  return out;
}

std::string toUtf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t code = s[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      code = 0x10000 + ((code - 0xD800) << 10) + (s[++i] - 0xDC00);
    else if (code >= 0xD800 && code < 0xE000)
      code = 0xFFFD;
    if (code < 0x80) {
      out.push_back(char(code));
    } else if (code < 0x800) {
      out.push_back(char(0xC0 | code >> 6));
      out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(char(0xE0 | code >> 12));
      out.push_back(char(0x80 | (code >> 6 & 0x3F)));
      out.push_back(char(0x80 | (code & 0x3F)));
    } else {
      out.push_back(char(0xF0 | code >> 18));
      out.push_back(char(0x80 | (code >> 12 & 0x3F)));
      out.push_back(char(0x80 | (code >> 6 & 0x3F)));
      out.push_back(char(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace text
