#include "Utf.h"

#include <cstdint>

namespace lumo::record {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Decodes the code points of a wstring, joining surrogate pairs where wchar_t is 16 bits.
template <typename Visit>
void forEachCodePoint(std::wstring_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    visit(c);
  }
}

}  // namespace

std::wstring fromUtf8(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b0 = static_cast<std::uint8_t>(utf8[i]);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
      cp = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
      extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
      appendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    int taken = 0;
    while (taken < extra && i + 1 + taken < utf8.size() &&
           (static_cast<std::uint8_t>(utf8[i + 1 + taken]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + 1 + taken]) & 0x3F);
      ++taken;
    }
    if (taken < extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
      cp = kReplacement;
    }
    appendCodePoint(out, cp);
    i += 1 + taken;
  }
  return out;
}

std::string toUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  forEachCodePoint(text, [&](char32_t c) {
    if (c >= 0xD800 && c < 0xE000) c = kReplacement;  // a lone surrogate
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}

std::u16string toUtf16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  if constexpr (sizeof(wchar_t) == 2) {
    for (wchar_t c : text) out.push_back(static_cast<char16_t>(c));
  } else {
    forEachCodePoint(text, [&](char32_t c) {
      if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(c));
      }
    });
  }
  return out;
}

std::wstring fromUtf16(std::u16string_view utf16) {
  std::wstring out;
  out.reserve(utf16.size());
  if constexpr (sizeof(wchar_t) == 2) {
    for (char16_t c : utf16) out.push_back(static_cast<wchar_t>(c));
  } else {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
      char32_t c = utf16[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
        ++i;
      }
      out.push_back(static_cast<wchar_t>(c));
    }
  }
  return out;
}

}  // namespace lumo::record
