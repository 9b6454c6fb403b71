#include "Value.h"

#include "Object.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace avm1 {

Value::Value(ObjectRef o) : kind_(o ? Kind::Object : Kind::Null) {
  if (o) new (&object_) ObjectRef(std::move(o));
  else number_ = 0;
}

const TextRef& Value::noText() {
  static const TextRef none;
  return none;
}

const ObjectRef& Value::noObject() {
  static const ObjectRef none;
  return none;
}

const std::string& Value::emptyString() {
  static const std::string empty;
  return empty;
}

const Text& Text::measure() const {
  units_ = static_cast<int64_t>(textLength(utf8));
  ascii_ = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return *this;
}

namespace {
bool isSpace(char c) { return c && std::strchr(" \t\n\r\v\f", c); }

// value * 10^exp by repeated multiplication or division, as the player computes it, so that
// its last bits match the player's.
double decimalShift(double value, int exp) {
  double base = 10;
  bool up = exp > 0;
  unsigned long long e = exp < 0 ? -static_cast<long long>(exp) : exp;
  for (; e; e >>= 1, base *= base)
    if (e & 1) value = up ? value * base : value / base;
  return value;
}

// The player's decimal reader: [space] [sign] digits [. digits] [e [sign] digits]. Strict
// reading refuses anything after the number (even spaces); lenient reading (SWF 4) stops there.
double readDecimal(const char* s, bool strict) {
  while (isSpace(*s)) ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  const char* digits = s;
  while (*s >= '0' && *s <= '9') ++s;
  int exp = static_cast<int>(s - digits) - 1;
  if (*s == '.') {
    ++s;
    while (*s >= '0' && *s <= '9') ++s;
  }
  if (s == digits) return NAN;
  if (*s == 'e' || *s == 'E') {
    ++s;
    bool negativeExp = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    uint32_t e = 0;  // wraps as the player's 32-bit exponent does: 1e4294967297 is 1e1
    for (; *s >= '0' && *s <= '9'; ++s) e = e * 10 + static_cast<uint32_t>(*s - '0');
    exp = static_cast<int>(static_cast<uint32_t>(exp) + (negativeExp ? 0u - e : e));
  }
  if (strict && *s) return NAN;
  double result = 0;
  for (const char* c = digits; (*c >= '0' && *c <= '9') || *c == '.'; ++c)
    if (*c != '.') result += decimalShift(*c - '0', exp--);
  return negative ? -result : result;
}

// From SWF 6, "0x1F" reads as hexadecimal and "017" (only octal digits) as octal, both as a
// 32-bit integer that wraps. A sign before "0x" makes the text no number, as in the player.
bool readRadixInteger(const std::string& s, double* out) {
  size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (s.size() <= i || s[i] != '0') return false;
  int radix = 8;
  std::string digits = s;
  if (i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    radix = 16;
    digits = s.substr(2);
  } else if (s.find_first_not_of("01234567", i) != std::string::npos) {
    return false;
  }
  size_t at = 0;
  bool negative = !digits.empty() && digits[0] == '-';
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) at = 1;
  if (at == digits.size()) return *out = NAN, true;
  uint32_t n = 0;
  for (; at < digits.size(); ++at) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(digits[at])));
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
    if (d >= radix) return *out = NAN, true;
    n = n * static_cast<uint32_t>(radix) + static_cast<uint32_t>(d);
  }
  *out = static_cast<int32_t>(negative ? 0u - n : n);
  return true;
}
}  // namespace

// Text is kept as UTF-8; the player counts and indexes UTF-16 units.
std::u16string toUtf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp = c;
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (n > 1 && i + n <= s.size()) {
      cp = c & (0xFF >> (n + 1));
      for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    } else {
      n = 1;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

std::string fromUtf16(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;  // a lone surrogate prints as the replacement character
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 63));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 63));
      out += static_cast<char>(0x80 | (c & 63));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 63));
      out += static_cast<char>(0x80 | ((c >> 6) & 63));
      out += static_cast<char>(0x80 | (c & 63));
    }
  }
  return out;
}

// Counts what toUtf16 would make, without making it.
size_t textLength(const std::string& s) {
  size_t units = 0;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t cp = c;
    if (n > 1 && i + n <= s.size()) {
      cp = c & (0xFF >> (n + 1));
      for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    } else {
      n = 1;
    }
    units += cp >= 0x10000 ? 2 : 1;
    i += n;
  }
  return units;
}

double stringToNumber(const std::string& s) { return readDecimal(s.c_str(), true); }
double readNumberPrefix(const std::string& s) { return readDecimal(s.c_str(), false); }

double stringToNumber(const std::string& s, const VersionRules& rules) {
  double n;
  if (rules.radixStrings() && readRadixInteger(s, &n)) return n;
  if (rules.swf4Conversions()) {
    n = readDecimal(s.c_str(), false);
    return std::isnan(n) ? 0 : n;
  }
  return readDecimal(s.c_str(), true);
}

double toNumber(const Value& v, const VersionRules& rules) {
  switch (v.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return rules.undefinedIsEmpty() ? 0 : NAN;
    case Value::Kind::Boolean:
    case Value::Kind::Number: return v.number();
    case Value::Kind::String: return stringToNumber(v.string(), rules);
    case Value::Kind::Object: return rules.swf4Conversions() ? 0 : NAN;
  }
  return NAN;
}

bool toBoolean(const Value& v, const VersionRules& rules) {
  switch (v.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return false;
    case Value::Kind::Boolean: return v.number() != 0;
    case Value::Kind::Number: return v.number() != 0 && !std::isnan(v.number());
    case Value::Kind::String:
      if (rules.stringTruthByLength()) return !v.string().empty();
      { double n = stringToNumber(v.string(), rules); return n != 0 && !std::isnan(n); }
    case Value::Kind::Object: return true;
  }
  return false;
}

// Fifteen significant digits; exponent notation from 1e15 up and below 1e-5 ("1e+15", "1e-6").
std::string numberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  if (n >= -2147483648.0 && n <= 2147483647.0 && n == std::trunc(n))
    return std::to_string(static_cast<int32_t>(n));
  char text[40];
  std::snprintf(text, sizeof text, "%.14e", std::fabs(n));  // d.dddddddddddddde±XX
  char digits[16];
  digits[0] = text[0];
  std::memcpy(digits + 1, text + 2, 14);
  size_t count = 15;
  while (count > 1 && digits[count - 1] == '0') --count;
  int exp = std::atoi(std::strchr(text, 'e') + 1);
  std::string out;
  if (n < 0) out.push_back('-');
  if (exp >= 15 || exp < -5) {
    out.push_back(digits[0]);
    if (count > 1) out.append(".").append(digits + 1, count - 1);
    out.append(exp > 0 ? "e+" : "e-").append(std::to_string(std::abs(exp)));
  } else if (exp < 0) {
    out.append("0.").append(static_cast<size_t>(-exp - 1), '0').append(digits, count);
  } else {
    size_t whole = static_cast<size_t>(exp) + 1;
    out.append(digits, std::min(whole, count));
    if (count < whole) out.append(whole - count, '0');
    else if (count > whole) out.append(".").append(digits + whole, count - whole);
  }
  return out;
}

std::string primitiveToString(const Value& v, const VersionRules& rules) {
  switch (v.kind()) {
    case Value::Kind::Undefined: return rules.undefinedIsEmpty() ? "" : "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean:
      if (rules.swf4Conversions()) return v.number() != 0 ? "1" : "0";
      return v.number() != 0 ? "true" : "false";
    case Value::Kind::Number: return numberToString(v.number());
    case Value::Kind::String: return v.string();
    case Value::Kind::Object:
      if (v.object()->isClip()) return v.object()->clipPath;
      return v.object()->isFunction() ? "[type Function]" : "[type Object]";
  }
  return "";
}

int32_t toInt32(double n) {
  if (n > -2147483649.0 && n < 2147483648.0) return static_cast<int32_t>(n);  // truncates, no wrap
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<int32_t>(static_cast<uint32_t>(m));
}

const char* typeOfName(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Undefined: return "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean: return "boolean";
    case Value::Kind::Number: return "number";
    case Value::Kind::String: return "string";
    case Value::Kind::Object:
      if (v.object()->isFunction()) return "function";
      // Text fields and buttons read as paths too, but are objects to typeof.
      return v.object()->isClip() && v.object()->className == "MovieClip" ? "movieclip" : "object";
  }
  return "undefined";
}

bool strictEquals(const Value& a, const Value& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return true;
    case Value::Kind::Boolean:
    case Value::Kind::Number:  // NaN equals NaN in AVM1
      return a.number() == b.number() || (std::isnan(a.number()) && std::isnan(b.number()));
    case Value::Kind::String: return a.string() == b.string();
    case Value::Kind::Object: return a.object() == b.object();
  }
  return false;
}

}  // namespace avm1
