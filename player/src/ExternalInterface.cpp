// ExternalInterface XML: building and reading the invoke and value forms.
#include "ExternalInterface.h"

#include <cwchar>
#include <cwctype>

namespace external {

std::wstring escapeXml(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      default: out += c; break;
    }
  }
  return out;
}

namespace {

struct Entity {
  std::wstring_view name;
  wchar_t ch;
};
constexpr Entity kEntities[] = {
    {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''},
};

void appendCodePoint(std::wstring& out, unsigned long cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<wchar_t>(cp);
  }
}

// Skips blanks between elements.
size_t skipBlanks(std::wstring_view s, size_t i) {
  while (i < s.size() && std::iswspace(s[i])) ++i;
  return i;
}

// The value element starting at `i` (after blanks): its decoded text and the index after it.
std::optional<std::pair<std::wstring, size_t>> readValue(std::wstring_view s, size_t i) {
  i = skipBlanks(s, i);
  if (i >= s.size() || s[i] != L'<') return std::nullopt;
  size_t close = s.find(L'>', i);
  if (close == std::wstring_view::npos) return std::nullopt;
  std::wstring_view tag = s.substr(i + 1, close - i - 1);
  if (!tag.empty() && tag.back() == L'/') {
    tag.remove_suffix(1);
    while (!tag.empty() && std::iswspace(tag.back())) tag.remove_suffix(1);
    return std::make_pair(std::wstring(tag), close + 1);  // true, false, null, undefined
  }
  std::wstring end = L"</" + std::wstring(tag) + L">";
  size_t endAt = s.find(end, close + 1);
  if (endAt == std::wstring_view::npos) return std::nullopt;
  std::wstring_view inner = s.substr(close + 1, endAt - close - 1);
  return std::make_pair(unescapeXml(inner), endAt + end.size());
}

}  // namespace

std::wstring unescapeXml(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') {
      out += text[i];
      continue;
    }
    size_t semi = text.find(L';', i);
    if (semi == std::wstring_view::npos || semi - i > 10) {
      out += text[i];
      continue;
    }
    std::wstring_view name = text.substr(i + 1, semi - i - 1);
    bool done = false;
    if (name.size() > 1 && name[0] == L'#') {
      std::wstring digits(name.substr(1));
      int base = 10;
      if (!digits.empty() && (digits[0] == L'x' || digits[0] == L'X')) {
        base = 16;
        digits.erase(0, 1);
      }
      wchar_t* end = nullptr;
      unsigned long cp = digits.empty() ? 0 : std::wcstoul(digits.c_str(), &end, base);
      if (!digits.empty() && end && *end == 0 && cp > 0 && cp <= 0x10FFFF) {
        appendCodePoint(out, cp);
        done = true;
      }
    } else {
      for (const Entity& e : kEntities) {
        if (name == e.name) {
          out += e.ch;
          done = true;
          break;
        }
      }
    }
    if (done) {
      i = semi;
    } else {
      out += text[i];
    }
  }
  return out;
}

namespace {

bool isNameChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'-' || c == L'.' || c == L':'; }

// An "&" at `i` starts a reference: a named entity of XML or &#N; / &#xN;.
bool referenceAt(std::wstring_view s, size_t i) {
  size_t semi = s.find(L';', i);
  if (semi == std::wstring_view::npos || semi - i > 10) return false;
  std::wstring_view name = s.substr(i + 1, semi - i - 1);
  for (const Entity& e : kEntities)
    if (name == e.name) return true;
  if (name.size() < 2 || name[0] != L'#') return false;
  bool hex = name[1] == L'x';
  std::wstring_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return false;
  for (wchar_t c : digits)
    if (!(hex ? std::iswxdigit(c) : std::iswdigit(c))) return false;
  return true;
}

}  // namespace

bool wellFormed(std::wstring_view s) {
  std::vector<std::wstring_view> open;
  bool sawElement = false;
  size_t i = 0;
  while (i < s.size()) {
    wchar_t c = s[i];
    if (c == L'&') {
      if (!referenceAt(s, i)) return false;
      ++i;
      continue;
    }
    if (c != L'<') {
      // Only blanks may stand outside the one element.
      if (open.empty() && !std::iswspace(c)) return false;
      ++i;
      continue;
    }
    bool closing = i + 1 < s.size() && s[i + 1] == L'/';
    size_t at = i + (closing ? 2 : 1), start = at;
    while (at < s.size() && isNameChar(s[at])) ++at;
    if (at == start) return false;  // a bare "<"
    std::wstring_view name = s.substr(start, at - start);
    if (closing) {
      at = skipBlanks(s, at);
      if (at >= s.size() || s[at] != L'>' || open.empty() || open.back() != name) return false;
      open.pop_back();
      i = at + 1;
      continue;
    }
    if (open.empty() && sawElement) return false;  // a second root
    // Attributes: blank, name, "=", a quoted value without "<" whose "&"s are references.
    for (;;) {
      size_t next = skipBlanks(s, at);
      if (next >= s.size()) return false;
      if (s[next] == L'>' || (s[next] == L'/' && next + 1 < s.size() && s[next + 1] == L'>')) {
        bool empty = s[next] == L'/';
        if (!empty) open.push_back(name);
        sawElement = true;
        i = next + (empty ? 2 : 1);
        break;
      }
      if (next == at) return false;  // attributes are separated by blanks
      size_t nameEnd = next;
      while (nameEnd < s.size() && isNameChar(s[nameEnd])) ++nameEnd;
      if (nameEnd == next || nameEnd + 1 >= s.size() || s[nameEnd] != L'=') return false;
      wchar_t quote = s[nameEnd + 1];
      if (quote != L'"' && quote != L'\'') return false;
      size_t close = s.find(quote, nameEnd + 2);
      if (close == std::wstring_view::npos) return false;
      for (size_t k = nameEnd + 2; k < close; ++k)
        if (s[k] == L'<' || (s[k] == L'&' && !referenceAt(s, k))) return false;
      at = close + 1;
    }
  }
  return sawElement && open.empty();
}

std::wstring buildInvoke(std::wstring_view name, const std::vector<std::wstring>& args) {
  std::vector<std::wstring> values;
  for (const std::wstring& a : args) values.push_back(stringValue(a));
  return buildInvokeOfValues(name, values);
}

std::wstring buildInvokeOfValues(std::wstring_view name, const std::vector<std::wstring>& values) {
  std::wstring xml = L"<invoke name=\"" + escapeXml(name) + L"\" returntype=\"xml\"><arguments>";
  for (const std::wstring& v : values) xml += v;
  xml += L"</arguments></invoke>";
  return xml;
}

std::optional<Invoke> parseInvoke(std::wstring_view xml) {
  size_t at = xml.find(L"<invoke");
  if (at == std::wstring_view::npos) return std::nullopt;
  size_t tagEnd = xml.find(L'>', at);
  if (tagEnd == std::wstring_view::npos) return std::nullopt;
  std::wstring_view tag = xml.substr(at, tagEnd - at);
  size_t nameAt = tag.find(L"name=\"");
  if (nameAt == std::wstring_view::npos) return std::nullopt;
  nameAt += 6;
  size_t nameEnd = tag.find(L'"', nameAt);
  if (nameEnd == std::wstring_view::npos) return std::nullopt;
  Invoke invoke;
  invoke.name = unescapeXml(tag.substr(nameAt, nameEnd - nameAt));
  size_t argsAt = xml.find(L"<arguments>", tagEnd);
  if (argsAt == std::wstring_view::npos) return invoke;
  size_t i = argsAt + 11;
  for (;;) {
    i = skipBlanks(xml, i);
    if (xml.substr(i, 12) == L"</arguments>") break;
    auto value = readValue(xml, i);
    if (!value) break;
    invoke.args.push_back(std::move(value->first));
    i = value->second;
  }
  return invoke;
}

std::wstring parseValue(std::wstring_view xml) {
  auto value = readValue(xml, 0);
  if (!value || skipBlanks(xml, value->second) != xml.size()) return std::wstring(xml);
  return value->first;
}

std::wstring stringValue(std::wstring_view text) { return L"<string>" + escapeXml(text) + L"</string>"; }

}  // namespace external
