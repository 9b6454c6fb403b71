#include "Value.h"

#include "Object.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace avm1 {

Value::Value(ObjectRef o) : kind_(o ? Kind::Object : Kind::Null), object_(std::move(o)) {}

double stringToNumber(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && std::strchr(" \t\r\n", s[i])) ++i;
  if (i == s.size()) return NAN;
  const char* begin = s.c_str() + i;
  if ((begin[0] == '0') && (begin[1] == 'x' || begin[1] == 'X')) {
    char* end = nullptr;
    long long n = std::strtoll(begin + 2, &end, 16);
    return (*end == 0 && end != begin + 2) ? static_cast<double>(static_cast<int32_t>(n)) : NAN;
  }
  // strtod also reads "inf" and "nan", which are not numbers to a player.
  if (std::strpbrk(begin, "iInN")) return NAN;
  char* end = nullptr;
  double n = std::strtod(begin, &end);
  if (end == begin) return NAN;
  while (*end && std::strchr(" \t\r\n", *end)) ++end;
  return *end ? NAN : n;
}

double toNumber(const Value& v, const VersionRules& rules) {
  switch (v.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return rules.undefinedIsEmpty() ? 0 : NAN;
    case Value::Kind::Boolean:
    case Value::Kind::Number: return v.number();
    case Value::Kind::String: return stringToNumber(v.string());
    case Value::Kind::Object: return NAN;
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
      { double n = stringToNumber(v.string()); return n != 0 && !std::isnan(n); }
    case Value::Kind::Object: return true;
  }
  return false;
}

std::string numberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", n);
  // The player writes exponents without padding: 1e-7, not 1e-07.
  std::string out(text);
  size_t e = out.find('e');
  if (e != std::string::npos) {
    size_t digits = e + 2;
    while (digits + 1 < out.size() && out[digits] == '0') out.erase(digits, 1);
  }
  return out;
}

std::string primitiveToString(const Value& v, const VersionRules& rules) {
  switch (v.kind()) {
    case Value::Kind::Undefined: return rules.undefinedIsEmpty() ? "" : "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean: return v.number() != 0 ? "true" : "false";
    case Value::Kind::Number: return numberToString(v.number());
    case Value::Kind::String: return v.string();
    case Value::Kind::Object: return v.object()->isFunction() ? "[type Function]" : "[object Object]";
  }
  return "";
}

int32_t toInt32(double n) {
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
      return v.object()->isClip() ? "movieclip" : "object";
  }
  return "undefined";
}

bool strictEquals(const Value& a, const Value& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return true;
    case Value::Kind::Boolean:
    case Value::Kind::Number: return a.number() == b.number();
    case Value::Kind::String: return a.string() == b.string();
    case Value::Kind::Object: return a.object() == b.object();
  }
  return false;
}

}  // namespace avm1
