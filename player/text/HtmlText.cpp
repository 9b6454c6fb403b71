// Reading and writing the text fields' HTML subset.
#include "HtmlText.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace text {

namespace {

struct Attribute {
  std::string name;  // lower case
  std::u16string value;
};

struct Tag {
  std::string name;  // lower case, without the '/'
  bool closing = false;
  std::vector<Attribute> attributes;
  const std::u16string* attribute(std::string_view name) const {
    for (const Attribute& a : attributes)
      if (a.name == name) return &a.value;
    return nullptr;
  }
};

char lower(char16_t c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : char(c); }
bool blank(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Entity {
  std::string_view name;
  char16_t code;
};
constexpr Entity kEntities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''},
                                {"nbsp", 0xA0}};

// The entity at `at` ('&'); how many units it takes, 0 when it is none we know.
size_t readEntity(std::u16string_view s, size_t at, char16_t& code) {
  const size_t end = s.find(u';', at);
  if (end == std::u16string_view::npos || end - at > 10) return 0;
  std::string name;
  for (size_t i = at + 1; i < end; ++i) name.push_back(lower(s[i]));
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x';
    char* stop = nullptr;
    const long value = std::strtol(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
    if (*stop || value <= 0 || value > 0xFFFF) return 0;
    code = char16_t(value);
    return end - at + 1;
  }
  for (const Entity& e : kEntities)
    if (e.name == name) {
      code = e.code;
      return end - at + 1;
    }
  return 0;
}

std::u16string decodeEntities(std::u16string_view s) {
  std::u16string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t code = 0;
    const size_t length = s[i] == '&' ? readEntity(s, i, code) : 0;
    if (length) {
      out.push_back(code);
      i += length - 1;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// The tag between '<' at `at` and its '>'; nullopt when unterminated.
std::optional<Tag> readTag(std::u16string_view s, size_t at, size_t& next) {
  const size_t end = s.find(u'>', at);
  if (end == std::u16string_view::npos) return std::nullopt;
  next = end + 1;
  Tag tag;
  size_t i = at + 1;
  if (i < end && s[i] == '/') tag.closing = true, ++i;
  while (i < end && !blank(s[i]) && s[i] != '/') tag.name.push_back(lower(s[i++]));
  while (i < end) {
    while (i < end && (blank(s[i]) || s[i] == '/')) ++i;
    Attribute a;
    while (i < end && !blank(s[i]) && s[i] != '=' && s[i] != '/') a.name.push_back(lower(s[i++]));
    while (i < end && blank(s[i])) ++i;
    if (i < end && s[i] == '=') {
      ++i;
      while (i < end && blank(s[i])) ++i;
      const char16_t quote = i < end && (s[i] == '"' || s[i] == '\'') ? s[i] : 0;
      if (quote) ++i;
      const size_t from = i;
      while (i < end && (quote ? s[i] != quote : !blank(s[i]))) ++i;
      a.value = decodeEntities(s.substr(from, i - from));
      if (quote && i < end) ++i;
    }
    if (!a.name.empty()) tag.attributes.push_back(std::move(a));
  }
  return tag;
}

double number(const std::u16string& s) { return std::strtod(toUtf8(s).c_str(), nullptr); }

std::optional<swf::Rgba> color(const std::u16string& s) {
  std::string hex = toUtf8(s);
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  if (hex.empty() || hex.size() > 6) return std::nullopt;
  char* stop = nullptr;
  const unsigned long value = std::strtoul(hex.c_str(), &stop, 16);
  if (*stop) return std::nullopt;
  return swf::Rgba{uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), 255};
}

std::optional<Align> align(const std::u16string& s) {
  std::string v;
  for (char16_t c : s) v.push_back(lower(c));
  if (v == "left") return Align::Left;
  if (v == "right") return Align::Right;
  if (v == "center") return Align::Center;
  if (v == "justify") return Align::Justify;
  return std::nullopt;
}

// The format an open tag gives what it holds.
void applyTag(const Tag& tag, TextFormat& f) {
  const std::string& n = tag.name;
  if (n == "b") f.bold = true;
  else if (n == "i") f.italic = true;
  else if (n == "u") f.underline = true;
  else if (n == "li") f.bullet = true;
  else if (n == "a") {
    if (auto* href = tag.attribute("href")) f.url = toUtf8(*href);
    if (auto* target = tag.attribute("target")) f.target = toUtf8(*target);
  } else if (n == "p") {
    if (auto* a = tag.attribute("align"); a && align(*a)) f.align = *align(*a);
  } else if (n == "font") {
    if (auto* face = tag.attribute("face")) f.font = toUtf8(*face);
    if (auto* size = tag.attribute("size"); size && !size->empty()) {
      const double points = number(*size);
      const bool relative = (*size)[0] == '+' || (*size)[0] == '-';
      f.size = std::max(0.0, relative ? f.size + points * 20 : points * 20);
    }
    if (auto* c = tag.attribute("color"); c && color(*c)) f.color = *color(*c);
    if (auto* k = tag.attribute("kerning")) {
      if (*k == u"1") f.kerning = true;
      if (*k == u"0") f.kerning = false;
    }
  } else if (n == "textformat") {
    const std::pair<std::string_view, double TextFormat::*> fields[] = {
        {"leftmargin", &TextFormat::leftMargin}, {"rightmargin", &TextFormat::rightMargin},
        {"indent", &TextFormat::indent},         {"blockindent", &TextFormat::blockIndent},
        {"leading", &TextFormat::leading}};
    for (auto [name, field] : fields)
      if (auto* v = tag.attribute(name)) f.*field = number(*v) * 20;
    if (auto* stops = tag.attribute("tabstops")) {
      f.tabStops.clear();
      for (size_t from = 0; from <= stops->size();) {
        size_t comma = std::min(stops->find(u',', from), stops->size());
        std::u16string item = stops->substr(from, comma - from);
        char* end = nullptr;
        const std::string digits = toUtf8(item);
        const double pixels = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str()) f.tabStops.push_back(pixels * 20);  // malformed stops are left out
        from = comma + 1;
      }
    }
  }
}

bool endsParagraph(const std::string& name) { return name == "p" || name == "li"; }

}  // namespace

StyledText parseHtml(std::u16string_view html, const TextFormat& base) {
  StyledText out;
  std::vector<std::pair<std::string, TextFormat>> stack = {{"", base}};
  bool pendingBreak = false;  // a paragraph ended; its '\r' comes only before more text
  auto emit = [&](std::u16string_view s) {
    if (s.empty()) return;
    if (pendingBreak) out.append(u"\r", stack.back().second);
    pendingBreak = false;
    out.append(s, stack.back().second);
  };
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      size_t next = i;
      std::optional<Tag> tag = readTag(html, i, next);
      if (!tag) break;  // an unterminated tag ends the text, as in the player
      i = next;
      if (tag->closing) {
        auto it = std::find_if(stack.rbegin(), stack.rend(), [&](const auto& e) { return e.first == tag->name; });
        if (it == stack.rend() || stack.size() == 1) continue;
        stack.erase(std::prev(it.base()), stack.end());
        if (endsParagraph(tag->name) && !out.text.empty()) pendingBreak = true;
        continue;
      }
      if (tag->name == "br") {
        if (pendingBreak) out.append(u"\r", stack.back().second);
        pendingBreak = false;
        out.append(u"\r", stack.back().second);
        continue;
      }
      if (endsParagraph(tag->name) && !out.text.empty() && out.text.back() != '\r') pendingBreak = true;
      TextFormat format = stack.back().second;
      applyTag(*tag, format);
      stack.emplace_back(tag->name, format);
      continue;
    }
    size_t end = html.find(u'<', i);
    if (end == std::u16string_view::npos) end = html.size();
    std::u16string run = decodeEntities(html.substr(i, end - i));
    std::u16string lines;
    for (size_t k = 0; k < run.size(); ++k) {
      if (run[k] == '\r' && k + 1 < run.size() && run[k + 1] == '\n') continue;
      lines.push_back(run[k] == '\n' ? u'\r' : run[k]);
    }
    emit(lines);
    i = end;
  }
  return out;
}

namespace {

std::u16string escape(std::u16string_view s) {
  std::u16string out;
  for (char16_t c : s) {
    if (c == '<') out += u"&lt;";
    else if (c == '>') out += u"&gt;";
    else if (c == '&') out += u"&amp;";
    else if (c == '"') out += u"&quot;";
    else out.push_back(c);
  }
  return out;
}

std::u16string u16(const std::string& s) { return fromUtf8(s); }

std::u16string twipsAsPoints(double twips) {
  std::string s = std::to_string(int(twips / 20));
  return u16(s);
}

std::u16string hexColor(swf::Rgba c) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::u16string s = u"#";
  for (uint8_t v : {c.r, c.g, c.b}) {
    s.push_back(char16_t(kDigits[v >> 4]));
    s.push_back(char16_t(kDigits[v & 15]));
  }
  return s;
}

const char16_t* alignName(Align a) {
  switch (a) {
    case Align::Right: return u"RIGHT";
    case Align::Center: return u"CENTER";
    case Align::Justify: return u"JUSTIFY";
    default: return u"LEFT";
  }
}

}  // namespace

std::u16string toHtml(const StyledText& text) {
  std::u16string out;
  size_t start = 0;
  while (start <= text.text.size()) {
    size_t end = text.text.find(u'\r', start);
    if (end == std::u16string::npos) end = text.text.size();
    const TextFormat& paragraph = text.formatAt(start);
    const bool textFormat = paragraph.leftMargin || paragraph.rightMargin || paragraph.indent ||
                            paragraph.blockIndent || paragraph.leading;
    if (textFormat)
      out += u"<TEXTFORMAT LEFTMARGIN=\"" + twipsAsPoints(paragraph.leftMargin) + u"\" RIGHTMARGIN=\"" +
             twipsAsPoints(paragraph.rightMargin) + u"\" INDENT=\"" + twipsAsPoints(paragraph.indent) +
             u"\" BLOCKINDENT=\"" + twipsAsPoints(paragraph.blockIndent) + u"\" LEADING=\"" +
             twipsAsPoints(paragraph.leading) + u"\">";
    out += paragraph.bullet ? u"<LI>" : std::u16string(u"<P ALIGN=\"") + alignName(paragraph.align) + u"\">";
    // Runs of one face, size and colour share a FONT element; styles and links nest inside.
    size_t i = start;
    const TextFormat* font = nullptr;
    do {
      const TextFormat& f = text.formatAt(i);
      size_t stop = end;
      for (const FormatRun& run : text.runs)
        if (run.start > i && run.start < stop) stop = run.start;
      if (!font || font->font != f.font || font->size != f.size || !(font->color == f.color) ||
          font->kerning != f.kerning) {
        if (font) out += u"</FONT>";
        out += u"<FONT FACE=\"" + escape(u16(f.font)) + u"\" SIZE=\"" + twipsAsPoints(f.size) + u"\" COLOR=\"" +
               hexColor(f.color) + u"\" LETTERSPACING=\"0\" KERNING=\"" + (f.kerning ? u"1" : u"0") + u"\">";
        font = &f;
      }
      std::u16string inner = escape(std::u16string_view(text.text).substr(i, stop - i));
      if (f.underline) inner = u"<U>" + inner + u"</U>";
      if (f.italic) inner = u"<I>" + inner + u"</I>";
      if (f.bold) inner = u"<B>" + inner + u"</B>";
      if (!f.url.empty())
        inner = u"<A HREF=\"" + escape(u16(f.url)) + u"\" TARGET=\"" + escape(u16(f.target)) + u"\">" + inner + u"</A>";
      out += inner;
      i = stop;
    } while (i < end);
    out += u"</FONT>";
    out += paragraph.bullet ? u"</LI>" : u"</P>";
    if (textFormat) out += u"</TEXTFORMAT>";
    start = end + 1;
  }
  return out;
}

}  // namespace text
