// An AVM1 value and the conversions between kinds. Conversions depend on the movie's version
// (SWF 6 and earlier turn undefined into 0 and "" differently), so they take the rules.
#pragma once

#include "VersionRules.h"

#include <memory>
#include <string>

namespace avm1 {

class Object;
using ObjectRef = std::shared_ptr<Object>;

// A string value's text, shared between copies (values are copied far more often than made),
// with its length in UTF-16 units worked out once.
struct Text {
  explicit Text(std::string s) : utf8(std::move(s)) {}
  std::string utf8;
  size_t length() const { return measured() ? static_cast<size_t>(units_) : measure().units_; }  // UTF-16 units
  bool ascii() const { return measured() ? ascii_ : measure().ascii_; }  // one byte a unit

 private:
  bool measured() const { return units_ >= 0; }
  const Text& measure() const;
  mutable int64_t units_ = -1;  // not yet counted
  mutable bool ascii_ = false;
};
using TextRef = std::shared_ptr<const Text>;

class Value {
 public:
  enum class Kind { Undefined, Null, Boolean, Number, String, Object };

  Value() = default;
  Value(bool b) : kind_(Kind::Boolean), number_(b ? 1 : 0) {}
  Value(double n) : kind_(Kind::Number), number_(n) {}
  Value(int n) : kind_(Kind::Number), number_(n) {}
  Value(std::string s) : kind_(Kind::String), text_(std::make_shared<const Text>(std::move(s))) {}
  Value(const char* s) : Value(std::string(s)) {}
  Value(TextRef t) : kind_(Kind::String), text_(std::move(t)) {}
  Value(ObjectRef o);
  static Value null() { Value v; v.kind_ = Kind::Null; return v; }

  Kind kind() const { return kind_; }
  bool isUndefined() const { return kind_ == Kind::Undefined; }
  bool isNullish() const { return kind_ == Kind::Undefined || kind_ == Kind::Null; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isString() const { return kind_ == Kind::String; }
  bool isNumber() const { return kind_ == Kind::Number; }
  double number() const { return number_; }
  const std::string& string() const { return text_ ? text_->utf8 : emptyString(); }
  const TextRef& text() const { return text_; }  // null unless a string
  // The length in UTF-16 units of a string value, counted once.
  size_t textLength() const { return text_ ? text_->length() : 0; }
  const ObjectRef& object() const { return object_; }

 private:
  Kind kind_ = Kind::Undefined;
  double number_ = 0;
  TextRef text_;
  ObjectRef object_;
  static const std::string& emptyString();
};

// Primitive conversions. Objects convert through valueOf/toString, which may run code: those
// paths live on the Machine; these handle the primitive kinds and a plain object fallback.
double toNumber(const Value& v, const VersionRules& rules);
std::u16string toUtf16(const std::string& s);
std::string fromUtf16(const std::u16string& s);
size_t textLength(const std::string& s);  // in UTF-16 units, as the player counts
double stringToNumber(const std::string& s, const VersionRules& rules);
double stringToNumber(const std::string& s);  // a plain decimal, as in text from outside
double readNumberPrefix(const std::string& s);  // parseFloat: the number the text begins with
bool toBoolean(const Value& v, const VersionRules& rules);
std::string numberToString(double n);
std::string primitiveToString(const Value& v, const VersionRules& rules);
int32_t toInt32(double n);
const char* typeOfName(const Value& v);
bool strictEquals(const Value& a, const Value& b);

}  // namespace avm1
