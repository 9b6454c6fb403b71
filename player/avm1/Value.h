// An AVM1 value and the conversions between kinds. Conversions depend on the movie's version
// (SWF 6 and earlier turn undefined into 0 and "" differently), so they take the rules.
#pragma once

#include "VersionRules.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
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

// A value is a kind and one of a number, a text or an object, in 24 bytes: copying a number
// touches no reference count, and copying a string or object touches one.
class Value {
 public:
  enum class Kind : uint8_t { Undefined, Null, Boolean, Number, String, Object };

  Value() : number_(0) {}
  Value(bool b) : kind_(Kind::Boolean), number_(b ? 1 : 0) {}
  Value(double n) : kind_(Kind::Number), number_(n) {}
  Value(int n) : kind_(Kind::Number), number_(n) {}
  Value(std::string s) : kind_(Kind::String) { new (&text_) TextRef(std::make_shared<const Text>(std::move(s))); }
  Value(const char* s) : Value(std::string(s)) {}
  Value(TextRef t) : kind_(Kind::String) { new (&text_) TextRef(std::move(t)); }
  Value(ObjectRef o);
  Value(const Value& v) : kind_(v.kind_) { copyFrom(v); }
  Value(Value&& v) noexcept : kind_(v.kind_) { relocateFrom(v); }
  ~Value() { release(); }
  Value& operator=(const Value& v) {
    if (!v.counted() && !counted()) {
      kind_ = v.kind_, number_ = v.number_;
      return *this;
    }
    return *this = Value(v);  // copied first: what is released may own `v`
  }
  Value& operator=(Value&& v) noexcept {
    if (this == &v) return *this;
    Value old;  // released after the move, for the same reason
    old.kind_ = kind_, old.relocateFrom(*this);
    kind_ = v.kind_, relocateFrom(v);
    return *this;
  }
  static Value null() { Value v; v.kind_ = Kind::Null; return v; }

  Kind kind() const { return kind_; }
  bool isUndefined() const { return kind_ == Kind::Undefined; }
  bool isNullish() const { return kind_ == Kind::Undefined || kind_ == Kind::Null; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isString() const { return kind_ == Kind::String; }
  bool isNumber() const { return kind_ == Kind::Number; }
  double number() const { return counted() ? 0 : number_; }
  const std::string& string() const { return isString() && text_ ? text_->utf8 : emptyString(); }
  const TextRef& text() const { return isString() ? text_ : noText(); }  // null unless a string
  // The length in UTF-16 units of a string value, counted once.
  size_t textLength() const { return isString() && text_ ? text_->length() : 0; }
  const ObjectRef& object() const { return isObject() ? object_ : noObject(); }

 private:
  bool counted() const { return kind_ >= Kind::String; }
  void copyFrom(const Value& v) {
    if (kind_ == Kind::String) new (&text_) TextRef(v.text_);
    else if (kind_ == Kind::Object) new (&object_) ObjectRef(v.object_);
    else number_ = v.number_;
  }
  // Takes over `v`'s number or reference as it lies (a counted pointer moves by its bytes)
  // and leaves `v` undefined.
  void relocateFrom(Value& v) {
    std::memcpy(static_cast<void*>(&number_), static_cast<const void*>(&v.number_), kPayload);
    v.kind_ = Kind::Undefined, v.number_ = 0;
  }
  void release() {
    if (kind_ == Kind::String) text_.~TextRef();
    else if (kind_ == Kind::Object) object_.~ObjectRef();
  }

  static constexpr size_t kPayload = sizeof(ObjectRef);
  Kind kind_ = Kind::Undefined;
  union {
    double number_;
    TextRef text_;
    ObjectRef object_;
  };
  static const std::string& emptyString();
  static const TextRef& noText();
  static const ObjectRef& noObject();
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
