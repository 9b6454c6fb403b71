#include "Activation.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

namespace avm1 {

namespace {
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
struct ActionError {};  // a malformed list: the rest of it is skipped, as the player does
}  // namespace

Activation::Activation(Machine& m, std::shared_ptr<const Code> code, ScopeRef scope, Value self,
                       ObjectRef timeline, Value* registers, size_t registerCount)
    : m_(m), code_(std::move(code)), scope_(std::move(scope)), self_(std::move(self)),
      timeline_(std::move(timeline)), registers_(registers), registerCount_(registerCount) {
  originalTimeline_ = timeline_;
  stack_ = m_.takeValues();
  stack_.reserve(16);  // one allocation for the depth most bodies reach, kept by the machine
}

const std::array<Activation::Handler, 256>& Activation::table() {
  static const std::array<Handler, 256> handlers = [] {
    std::array<Handler, 256> t;
    t.fill(&Activation::unknown);
    struct { uint8_t op; Handler h; } rows[] = {
        {0x04, &Activation::nextFrame}, {0x05, &Activation::prevFrame},
        {0x06, &Activation::play}, {0x07, &Activation::stop},
        {0x0A, &Activation::add}, {0x0B, &Activation::subtract}, {0x0C, &Activation::multiply},
        {0x0D, &Activation::divide}, {0x0E, &Activation::equals}, {0x0F, &Activation::less},
        {0x10, &Activation::logicalAnd}, {0x11, &Activation::logicalOr},
        {0x12, &Activation::logicalNot}, {0x13, &Activation::stringEquals},
        {0x14, &Activation::stringLength}, {0x15, &Activation::stringExtract},
        {0x31, &Activation::stringLength}, {0x32, &Activation::charToAscii},
        {0x33, &Activation::asciiToChar}, {0x35, &Activation::stringExtract},
        {0x36, &Activation::charToAscii}, {0x37, &Activation::asciiToChar},
        {0x17, &Activation::popOp}, {0x18, &Activation::toInteger},
        {0x1C, &Activation::getVariable}, {0x1D, &Activation::setVariable},
        {0x21, &Activation::stringAdd}, {0x26, &Activation::trace}, {0x29, &Activation::stringLess},
        {0x2A, &Activation::throwOp}, {0x2B, &Activation::castOp}, {0x2C, &Activation::implementsOp}, {0x30, &Activation::randomNumber},
        {0x34, &Activation::getTime}, {0x3A, &Activation::deleteOp}, {0x3B, &Activation::delete2},
        {0x3C, &Activation::defineLocal}, {0x3D, &Activation::callFunction},
        {0x3E, &Activation::returnOp}, {0x3F, &Activation::modulo}, {0x40, &Activation::newObject},
        {0x41, &Activation::defineLocal2}, {0x42, &Activation::initArray},
        {0x43, &Activation::initObject}, {0x44, &Activation::typeOf},
        {0x45, &Activation::targetPath}, {0x46, &Activation::enumerate},
        {0x47, &Activation::add2}, {0x48, &Activation::less2}, {0x49, &Activation::equals2},
        {0x4A, &Activation::toNumber}, {0x4B, &Activation::toStringOp},
        {0x4C, &Activation::pushDuplicate}, {0x4D, &Activation::stackSwap},
        {0x4E, &Activation::getMemberOp}, {0x4F, &Activation::setMember},
        {0x50, &Activation::increment}, {0x51, &Activation::decrement},
        {0x52, &Activation::callMethod}, {0x53, &Activation::newMethod},
        {0x54, &Activation::instanceOf}, {0x55, &Activation::enumerate2},
        {0x60, &Activation::bitOp}, {0x61, &Activation::bitOp}, {0x62, &Activation::bitOp},
        {0x63, &Activation::bitOp}, {0x64, &Activation::bitOp}, {0x65, &Activation::bitOp},
        {0x66, &Activation::strictEquals}, {0x67, &Activation::greater},
        {0x68, &Activation::stringGreater}, {0x69, &Activation::extends},
        {0x83, &Activation::getUrl}, {0x87, &Activation::storeRegister},
        {0x88, &Activation::constantPool}, {0x8E, &Activation::defineFunction2},
        {0x8F, &Activation::tryOp}, {0x94, &Activation::with}, {0x96, &Activation::pushOp},
        {0x99, &Activation::jump}, {0x9A, &Activation::getUrl2},
        {0x9B, &Activation::defineFunction}, {0x9D, &Activation::ifOp},
        {0x9F, &Activation::gotoFrame2},
        {0x08, &Activation::doNothing}, {0x09, &Activation::doNothing},  // ToggleQuality, StopSounds
        {0x81, &Activation::gotoFrame}, {0x8A, &Activation::waitForFrame},
        {0x8B, &Activation::setTarget}, {0x8C, &Activation::gotoLabel},
        {0x8D, &Activation::waitForFrame2}, {0x9E, &Activation::popFrame},  // Call
        {0x20, &Activation::setTarget2},
        {0x22, &Activation::getProperty}, {0x23, &Activation::setProperty},
        {0x24, &Activation::cloneSprite}, {0x25, &Activation::removeSprite},
        {0x27, &Activation::startDrag}, {0x28, &Activation::endDrag},
    };
    for (const auto& row : rows) t[row.op] = row.h;
    return t;
  }();
  return handlers;
}

const std::shared_ptr<const std::vector<Value>>& Activation::noConstants() {
  static const auto none = std::make_shared<const std::vector<Value>>();
  return none;
}

bool Activation::supports(uint8_t op) { return table()[op] != &Activation::unknown; }

Value Activation::run(size_t begin, size_t end) {
  const auto& handlers = table();
  const std::vector<uint8_t>& bytes = code_->bytes;
  end = std::min(end, bytes.size());
  pc_ = begin;
  unsigned counter = 0;
  try {
    while (pc_ < end && !returned_) {
      Action a{bytes[pc_], nullptr, 0, pc_ + 1};
      if (a.op == 0) break;
      if (a.op >= 0x80) {
        if (pc_ + 3 > end) break;
        a.length = u16(&bytes[pc_ + 1]);
        a.data = &bytes[pc_ + 3];
        a.next = pc_ + 3 + a.length;
        if (a.next > end) break;
      }
      pc_ = a.next;
      (this->*handlers[a.op])(a);
      if ((++counter & 0x3FF) == 0) m_.checkDeadline();
    }
  } catch (const ActionError&) {
  }
  return result_;
}

Value Activation::pop() {
  if (stack_.empty()) return Value();
  Value v = std::move(stack_.back());
  stack_.pop_back();
  return v;
}

std::string Activation::readString(const Action& a, size_t* at) const {
  const char* start = reinterpret_cast<const char*>(a.data + *at);
  size_t n = strnlen(start, a.length - *at);
  if (*at + n >= a.length) throw ActionError{};
  *at += n + 1;
  return std::string(start, n);
}

ObjectRef Activation::toObject(const Value& v) { return m_.toObject(v); }

namespace {
bool isThis(const std::string& name) { return name.size() == 4 && std::memcmp(name.data(), "this", 4) == 0; }
}  // namespace

bool Activation::plainName(const std::string& name) const {
  bool anyCase = !m_.rules().caseSensitiveNames();
  for (char c : name)
    if (c == ':' || c == '.' || c == '/' || (anyCase && c >= 'A' && c <= 'Z')) return false;
  return true;
}

Object* Activation::innermost() {
  if (!scope_) return nullptr;
  if (!scope_->object && scope_->local) scope_->object = std::make_shared<Object>();
  return scope_->object.get();
}

Value Activation::getMember(const Value& target, const std::string& name) {
  if (target.isString() && name == "length") return Value(static_cast<double>(target.textLength()));
  ObjectRef o = toObject(target);
  if (auto* super = o ? o->asSuper() : nullptr) {
    ObjectRef base = m_.superBase(*super);
    ObjectRef above = base ? base->proto(m_) : nullptr;
    return above ? above->getAs(m_, name, Value(super->self), super->depth + 1) : Value();
  }
  return o ? o->get(m_, name) : Value();
}

// A name or a path. "a.b.c", "a:b" and "/a/b:c" name a variable on an object found from some
// scope: the object part is tried from each scope in turn, and the first scope where it leads
// to an object that has the variable answers. A slash path alone names the object itself.
Value Activation::lookup(const std::string& name) {
  // Most names are plain: no path, not `this` or a name starting `_`, and their own key.
  if (!name.empty() && name[0] != '_' && !isThis(name) && plainName(name)) {
    Value found;
    for (Scope* s = scope_.get(); s; s = s->parent.get())
      if (s->object && s->object->tryGet(m_, name, &found)) return found;
    return Value();
  }
  bool swf5 = m_.rules().version() >= 5;
  size_t split = name.find_last_of(swf5 ? ":." : ":");
  if (split != std::string::npos) {
    std::string path = name.substr(0, split), variable = name.substr(split + 1);
    if (path.empty()) return Value();
    for (Scope* s = scope_.get(); s; s = s->parent.get()) {
      if (!s->object) continue;
      ObjectRef o = targetOf(s->object, path, true, true);
      if (o && o->has(m_, variable)) return o->get(m_, variable);
    }
    return Value();
  }
  if (swf5 && name.find('/') != std::string::npos) {
    for (Scope* s = scope_.get(); s; s = s->parent.get())
      if (s->object)
        if (ObjectRef o = targetOf(s->object, name, false, false)) return Value(o);
  }
  std::string lowered;
  std::string_view key = name;
  if (!m_.rules().isOwnKey(name)) key = lowered = m_.rules().nameKey(name);
  if (key == "this") return self_;
  if (key == "_global") return Value(m_.global());
  if (key == "_root") return Value(m_.root());
  if (key.starts_with("_level") && key.size() > 6 && std::isdigit(static_cast<unsigned char>(key[6]))) {
    ObjectRef level = m_.existingLevel(std::atoi(std::string(key.substr(6)).c_str()));
    return level ? Value(level) : Value();
  }
  Value found;
  for (Scope* s = scope_.get(); s; s = s->parent.get())
    if (s->object && s->object->tryGet(m_, name, &found)) return found;
  return Value();
}

// Follows a target path from `start`: "/" begins at _root, ".." is the parent, and ":", "." and
// "/" separate names ("." no more once a "/" was seen; SWF 4 knows only "/" and ":").
// Null when a step is not an object.
ObjectRef Activation::targetOf(const ObjectRef& start, std::string path, bool first, bool allowThis) {
  if (path.empty()) return start;
  bool swf5 = m_.rules().version() >= 5, slash = false;
  ObjectRef o = start;
  if (path[0] == '/') {
    path.erase(0, 1);
    first = false;
    slash = true;
    o = m_.root();
  }
  while (!path.empty()) {
    if (swf5) path.erase(0, std::min(path.find_first_not_of(':'), path.size()));
    if (path.empty()) break;
    Value next;
    std::string prefix = path.substr(0, 3);
    if (prefix == ".." || prefix == "../" || (swf5 && prefix == "..:")) {
      if (prefix == "../") slash = true;
      path.erase(0, std::min<size_t>(3, path.size()));
      next = o->get(m_, "_parent");
      if (!next.isObject()) return nullptr;
    } else {
      size_t at = 0;
      for (; at < path.size(); ++at) {
        char c = path[at];
        if ((c == ':' && swf5) || (c == '.' && swf5 && !slash)) break;
        if (c == '/') { slash = true; break; }
      }
      std::string part = path.substr(0, at);
      path.erase(0, std::min(at + 1, path.size()));
      std::string key = m_.rules().nameKey(part);
      if (swf5 && allowThis && key == "this") next = self_;
      else if (swf5 && first && key == "_root") next = Value(m_.root());
      else if (first && key.rfind("_level", 0) == 0 && key.size() > 6 &&
               key.find_first_not_of("0123456789", 6) == std::string::npos) {
        ObjectRef level = m_.existingLevel(std::atoi(key.c_str() + 6));
        next = level ? Value(level) : Value();
      } else next = o->get(m_, part);
    }
    first = false;
    if (!next.isObject()) return nullptr;
    o = next.object();
  }
  return o;
}

// SetVariable: a path sets its variable on the first object it leads to from the scopes (or
// nowhere); a plain name goes to the scope that has it, else the timeline.
void Activation::assign(const std::string& name, const Value& value) {
  if (name.empty()) return;
  if (!isThis(name) && plainName(name)) return assignPlain(name, value);
  if (name == "this" && m_.rules().version() >= 5) {
    self_ = value;
    return;
  }
  size_t split = name.find_last_of(":.");
  if (split != std::string::npos) {
    std::string path = name.substr(0, split), variable = name.substr(split + 1);
    for (Scope* s = scope_.get(); s; s = s->parent.get()) {
      if (!s->object) continue;
      if (ObjectRef o = targetOf(s->object, path, true, true)) return o->set(m_, variable, value);
    }
    return;
  }
  assignPlain(name, value);
}

// The first scope that has the name takes the value; a new variable is made on the timeline
// the code runs on, even from inside a function (`var` makes locals, through DefineLocal).
void Activation::assignPlain(const std::string& name, const Value& value) {
  Scope* outermost = nullptr;
  for (Scope* s = scope_.get(); s; s = s->parent.get()) {
    if (!s->object) continue;
    if (s->target || s->object->has(m_, name)) return s->object->set(m_, name, value);
    outermost = s;
  }
  if (outermost) outermost->object->set(m_, name, value);
}

// Arithmetic and comparison. Each converts its operands in the player's order (for valueOf
// calls that trace): some the deeper one first, some the top one.
void Activation::add(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(x + y);
  Value b = pop(), a = pop();
  double x = m_.toNumber(a);
  push(x + m_.toNumber(b));
}
void Activation::add2(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(x + y);
  Value b = m_.toPrimitive(pop()), a = m_.toPrimitive(pop());
  if (a.isString() || b.isString()) push(m_.toString(a) + m_.toString(b));
  else push(m_.toNumber(a) + m_.toNumber(b));
}
void Activation::subtract(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(x - y);
  double b = m_.toNumber(pop()); push(m_.toNumber(pop()) - b); }
void Activation::multiply(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(x * y);
  Value b = pop(), a = pop();
  double x = m_.toNumber(a);
  push(x * m_.toNumber(b));
}
void Activation::divide(const Action&) {
  double b = m_.toNumber(pop()), a = m_.toNumber(pop());
  push(b == 0 && m_.rules().swf4Conversions() ? Value("#ERROR#") : Value(a / b));
}
void Activation::modulo(const Action&) {
  if (double x, y; popNumbers(&x, &y)) {
    // Whole numbers, the first not negative: the integer remainder is fmod's, sign and all.
    if (!std::signbit(x) && x < 4294967296.0 && y >= 1 && y < 4294967296.0 && x == std::trunc(x) && y == std::trunc(y))
      return push(static_cast<double>(static_cast<uint64_t>(x) % static_cast<uint64_t>(y)));
    return push(std::fmod(x, y));
  }
  double b = m_.toNumber(pop()); push(std::fmod(m_.toNumber(pop()), b)); }
void Activation::equals(const Action&) { double b = m_.toNumber(pop()); push(Value(m_.toNumber(pop()) == b)); }
void Activation::equals2(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(Value(x == y || (std::isnan(x) && std::isnan(y))));
  Value b = pop(), a = pop(); push(Value(m_.looseEquals(a, b))); }
void Activation::strictEquals(const Action&) { Value b = pop(), a = pop(); push(Value(avm1::strictEquals(a, b))); }
void Activation::less(const Action&) {
  Value b = pop(), a = pop();
  double x = m_.toNumber(a);
  push(Value(x < m_.toNumber(b)));
}
void Activation::less2(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(std::isnan(x) || std::isnan(y) ? Value() : Value(x < y));
  Value b = pop(), a = pop(); push(m_.lessThan(a, b)); }
void Activation::greater(const Action&) {
  if (double x, y; popNumbers(&x, &y)) return push(std::isnan(x) || std::isnan(y) ? Value() : Value(y < x));
  Value b = pop(), a = pop(); push(m_.lessThan(b, a)); }
void Activation::logicalAnd(const Action&) { bool b = m_.toBoolean(pop()); push(Value(m_.toBoolean(pop()) && b)); }
void Activation::logicalOr(const Action&) { bool b = m_.toBoolean(pop()); push(Value(m_.toBoolean(pop()) || b)); }
void Activation::logicalNot(const Action&) { push(Value(!m_.toBoolean(pop()))); }
void Activation::stringEquals(const Action&) { std::string b = m_.toString(pop()); push(Value(m_.toString(pop()) == b)); }
void Activation::stringLess(const Action&) { std::string b = m_.toString(pop()); push(Value(m_.toString(pop()) < b)); }
void Activation::stringGreater(const Action&) {
  Value b = pop(), a = pop();
  std::string x = m_.toString(a);
  push(Value(x > m_.toString(b)));
}
// The SWF 4 string actions count UTF-16 units; their multibyte twins do the same here.
void Activation::stringLength(const Action&) { push(static_cast<double>(textLength(m_.toString(pop())))); }
void Activation::stringExtract(const Action&) {
  int32_t count = toInt32(m_.toNumber(pop()));
  int32_t index = toInt32(m_.toNumber(pop()));  // from 1
  std::u16string s = toUtf16(m_.toString(pop()));
  size_t from = index >= 1 ? static_cast<size_t>(index) - 1 : 0;
  size_t end = count >= 0 && from + static_cast<size_t>(count) <= s.size() ? from + static_cast<size_t>(count) : s.size();
  push(fromUtf16(s.substr(std::min(from, end), end - std::min(from, end))));
}
void Activation::charToAscii(const Action&) {
  std::u16string s = toUtf16(m_.toString(pop()));
  char16_t c = s.empty() ? 0 : s[0];
  push(static_cast<double>(c >= 0xD800 && c < 0xE000 ? 0xFFFD : c));
}
void Activation::asciiToChar(const Action&) {
  char16_t c = static_cast<char16_t>(static_cast<uint32_t>(toInt32(m_.toNumber(pop()))) & 0xFFFF);
  push(c ? fromUtf16(std::u16string(1, c)) : std::string());
}
void Activation::stringAdd(const Action&) { std::string b = m_.toString(pop()); push(m_.toString(pop()) + b); }
void Activation::bitOp(const Action& a) {
  int32_t y = toInt32(m_.toNumber(pop())), x = toInt32(m_.toNumber(pop()));
  switch (a.op) {
    case 0x60: return push(static_cast<double>(x & y));
    case 0x61: return push(static_cast<double>(x | y));
    case 0x62: return push(static_cast<double>(x ^ y));
    case 0x63: return push(static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(x) << (y & 31))));
    case 0x64: return push(static_cast<double>(x >> (y & 31)));
    default: {
      uint32_t u = static_cast<uint32_t>(x) >> (y & 31);
      if (m_.rules().signedUnsignedShift()) return push(static_cast<double>(static_cast<int32_t>(u)));
      return push(static_cast<double>(u));
    }
  }
}
void Activation::increment(const Action&) { push(m_.toNumber(pop()) + 1); }
void Activation::decrement(const Action&) { push(m_.toNumber(pop()) - 1); }
void Activation::toInteger(const Action&) { push(static_cast<double>(toInt32(m_.toNumber(pop())))); }
void Activation::toNumber(const Action&) { push(m_.toNumber(pop())); }
void Activation::toStringOp(const Action&) { push(m_.toString(pop())); }
void Activation::typeOf(const Action&) { push(Value(typeOfName(pop()))); }

// The stack and registers.
void Activation::popOp(const Action&) { pop(); }
void Activation::pushDuplicate(const Action&) { Value v = pop(); push(v); push(v); }
void Activation::stackSwap(const Action&) { Value b = pop(), a = pop(); push(b); push(a); }
void Activation::pushOp(const Action& a) {
  size_t at = 0;
  while (at < a.length) {
    uint8_t type = a.data[at++];
    auto need = [&](size_t n) { if (at + n > a.length) throw ActionError{}; };
    switch (type) {
      case 0: {
        const Code& code = *code_;
        size_t place = static_cast<size_t>(a.data - code.bytes.data()) + at;
        if (code.pushedSlot.empty()) code.pushedSlot.resize(code.bytes.size());
        uint32_t& slot = code.pushedSlot[place];
        if (!slot) {
          code.pushedText.push_back(std::make_shared<const Text>(readString(a, &at)));
          slot = static_cast<uint32_t>(code.pushedText.size());
        } else {
          at += code.pushedText[slot - 1]->utf8.size() + 1;
        }
        push(Value(code.pushedText[slot - 1]));
        break;
      }
      case 1: { need(4); uint32_t bits = u32(a.data + at); float f; std::memcpy(&f, &bits, 4); push(static_cast<double>(f)); at += 4; break; }
      case 2: push(Value::null()); break;
      case 3: push(Value()); break;
      case 4: { need(1); uint8_t r = a.data[at++]; push(r < registerCount_ ? registers_[r] : Value()); break; }
      case 5: need(1); push(Value(a.data[at++] != 0)); break;
      case 6: {  // a double stored as two little-endian halves, high half first
        need(8);
        uint64_t bits = (static_cast<uint64_t>(u32(a.data + at)) << 32) | u32(a.data + at + 4);
        double d; std::memcpy(&d, &bits, 8); push(d); at += 8; break;
      }
      case 7: need(4); push(static_cast<double>(static_cast<int32_t>(u32(a.data + at)))); at += 4; break;
      case 8: need(1); { uint8_t i = a.data[at++]; push(i < constants_->size() ? (*constants_)[i] : Value()); } break;
      case 9: need(2); { uint16_t i = u16(a.data + at); at += 2; push(i < constants_->size() ? (*constants_)[i] : Value()); } break;
      default: throw ActionError{};
    }
  }
}
void Activation::constantPool(const Action& a) {
  if (a.length < 2) throw ActionError{};
  size_t count = u16(a.data), at = 2;
  auto pool = std::make_shared<std::vector<Value>>();
  pool->reserve(count);
  for (size_t i = 0; i < count; ++i) pool->push_back(Value(readString(a, &at)));
  constants_ = std::move(pool);
}
void Activation::storeRegister(const Action& a) {
  if (a.length < 1) throw ActionError{};
  uint8_t r = a.data[0];
  if (r < registerCount_) registers_[r] = stack_.empty() ? Value() : stack_.back();
}

// Variables and members.
// A name from the stack: a string's own text, shared rather than copied.
TextRef Activation::popName() {
  Value v = pop();
  if (v.isString()) return v.text();
  return std::make_shared<const Text>(m_.toString(v));
}
void Activation::getVariable(const Action&) { push(lookup(popName()->utf8)); }
void Activation::setVariable(const Action&) {
  Value v = pop();
  assign(popName()->utf8, v);
}
void Activation::defineLocal(const Action&) {
  Value v = pop();
  TextRef text = popName();
  const std::string& name = text->utf8;
  if (Object* o = innermost()) o->set(m_, name, v);
}
void Activation::defineLocal2(const Action&) {
  TextRef text = popName();
  const std::string& name = text->utf8;
  if (Object* o = innermost(); o && !o->has(m_, name)) o->set(m_, name, Value());
}
void Activation::deleteOp(const Action&) {
  std::string name = m_.toString(pop());
  ObjectRef o = toObject(pop());
  push(Value(o && o->remove(m_, name)));
}
// Delete2 of a path deletes the variable from the object the path names; a primitive there
// gets the player's warning line.
void Activation::delete2(const Action&) {
  std::string name = m_.toString(pop());
  size_t split = name.find_last_of(":.");
  if (split != std::string::npos) {
    Value target = lookup(name.substr(0, split));
    if (target.isObject()) return push(Value(target.object()->remove(m_, name.substr(split + 1))));
    if (!target.isNullish())
      m_.host().trace("Parameters of primitive types are no longer coerced into the required type - Object.");
    return push(Value(false));
  }
  for (Scope* s = scope_.get(); s; s = s->parent.get())
    if (s->object && s->object->findOwn(m_, name)) return push(Value(s->object->remove(m_, name)));
  push(Value(false));
}
void Activation::getMemberOp(const Action&) {
  // An array's element by a number: found by its index, its name never made.
  size_t n = stack_.size();
  uint32_t index = 0;
  if (n >= 2 && stack_[n - 1].isNumber() && stack_[n - 2].isObject() &&
      ElementTable::indexOf(stack_[n - 1].number(), &index)) {
    bool known = false;
    Property* p = stack_[n - 2].object()->findOwnElement(m_, index, &known);
    if (p && !p->getter) {
      Value found = p->value;  // before the array leaves the stack
      stack_.pop_back();
      stack_.back() = std::move(found);
      return;
    }
  }
  TextRef name = popName();
  push(getMember(pop(), name->utf8));
}
void Activation::setMember(const Action&) {
  size_t n = stack_.size();
  uint32_t index = 0;
  if (n >= 3 && stack_[n - 2].isNumber() && stack_[n - 3].isObject() &&
      ElementTable::indexOf(stack_[n - 2].number(), &index) &&
      stack_[n - 3].object()->setElementInPlace(m_, index, stack_[n - 1])) {
    for (int i = 0; i < 3; ++i) stack_.pop_back();  // pop_back inlines where resize would not
    return;
  }
  Value v = pop();
  TextRef text = popName();
  const std::string& name = text->utf8;
  ObjectRef o = toObject(pop());
  if (!o) return;
  // Through super only a setter above the method's level runs (on this); nothing is stored.
  if (auto* super = o->asSuper()) {
    ObjectRef base = m_.superBase(*super);
    if (ObjectRef above = base ? base->proto(m_) : nullptr)
      above->setThroughChain(m_, name, v, Value(super->self), super->depth + 1);
    return;
  }
  o->set(m_, name, v);
}
// InitArray and InitObject take a count in 0..2^31-1; any other makes undefined and pops nothing.
void Activation::initArray(const Action&) {
  double n = m_.toNumber(pop());
  if (!(n >= 0 && n <= 2147483647.0)) return push(Value());
  Args items;
  for (int64_t i = 0; i < static_cast<int64_t>(n) && !stack_.empty(); ++i) items.push_back(pop());
  push(Value(m_.newArray(items)));
}
// The pairs are made in the order they come off the stack, the last written first.
void Activation::initObject(const Action&) {
  double n = m_.toNumber(pop());
  if (!(n >= 0 && n <= 2147483647.0)) return push(Value());
  ObjectRef o = m_.newObject();
  for (int64_t i = 0; i < static_cast<int64_t>(n) && !stack_.empty(); ++i) {
    Value v = pop();
    o->set(m_, m_.toString(pop()), v);
  }
  push(Value(o));
}

// A call's arguments: the count wraps to 32 bits and stops at the bottom of the stack.
Args Activation::popArgs(const Value& countValue) {
  uint32_t n = static_cast<uint32_t>(toInt32(m_.toNumber(countValue)));
  Args args = m_.takeValues();
  args.reserve(std::min<size_t>(n, stack_.size()));
  for (uint32_t i = 0; i < n && !stack_.empty(); ++i) {
    args.push_back(std::move(stack_.back()));
    stack_.pop_back();
  }
  return args;
}

namespace {
// Gives a call's argument list back to the machine's spares when the call is done.
struct ArgsLease {
  Machine& m;
  Args args;
  ~ArgsLease() { m.giveValues(std::move(args)); }
};
}  // namespace

void Activation::newObject(const Action&) {
  Value ctor = lookup(popName()->utf8);
  ArgsLease lease{m_, popArgs(pop())};
  push(m_.construct(ctor, lease.args));
}
void Activation::newMethod(const Action&) {
  Value name = pop();
  Value target = pop();
  ArgsLease lease{m_, popArgs(pop())};
  Value ctor = name.isUndefined() || (name.isString() && name.string().empty())
                   ? target : getMember(target, m_.toString(name));
  push(m_.construct(ctor, lease.args));
}
void Activation::callFunction(const Action&) {
  TextRef text = popName();
  const std::string& name = text->utf8;
  ArgsLease lease{m_, popArgs(pop())};
  push(m_.call(lookup(name), timeline_ ? Value(timeline_) : Value(), lease.args));
}
void Activation::callMethod(const Action&) {
  Value name = pop();
  Value target = pop();
  ArgsLease lease{m_, popArgs(pop())};
  const Args& args = lease.args;
  if (target.isNullish()) return push(Value());
  if (name.isUndefined() || (name.isString() && name.string().empty()))
    return push(m_.call(target, Value(), args));
  TextRef methodText = name.isString() ? name.text() : std::make_shared<const Text>(m_.toString(name));
  const std::string& method = methodText->utf8;
  if (Value native; target.isString() && m_.primitiveStringMethod(method, &native))
    return push(m_.call(native, target, args));
  ObjectRef o = toObject(target);
  if (!o) return push(Value());
  // Through super the search starts above the level the running method came from, and `this`
  // stays the object the method runs on.
  Value self(o);
  int base = 0;
  if (auto* super = o->asSuper()) {
    self = Value(super->self);
    base = super->depth + 1;
    o = m_.superBase(*super);
    o = o ? o->proto(m_) : nullptr;
    if (!o) return push(Value());
  }
  int found = 0;
  Value function = o->getMethod(m_, method, &found);
  push(m_.call(function, self, args, base + found));
}
void Activation::returnOp(const Action&) {
  result_ = pop();
  returned_ = true;
}

ObjectRef Activation::makeFunction(const Action& a, bool isFunction2, size_t* bodyEnd) {
  ScriptFunction f;
  size_t at = 0;
  std::string name = readString(a, &at);
  if (at + 2 > a.length) throw ActionError{};
  size_t paramCount = u16(a.data + at);
  at += 2;
  if (isFunction2) {
    if (at + 3 > a.length) throw ActionError{};
    f.registerCount = a.data[at];
    f.flags = u16(a.data + at + 1);
    at += 3;
  }
  for (size_t i = 0; i < paramCount; ++i) {
    ScriptFunction::Param p;
    if (isFunction2) {
      if (at >= a.length) throw ActionError{};
      p.reg = a.data[at++];
    }
    p.name = readString(a, &at);
    f.params.push_back(p);
  }
  if (at + 2 > a.length) throw ActionError{};
  size_t size = u16(a.data + at);
  f.isFunction2 = isFunction2;
  f.code = code_;
  f.begin = a.next;
  f.end = std::min(a.next + size, code_->bytes.size());
  f.scope = scope_;
  f.constants = constants_;
  *bodyEnd = f.end;
  ObjectRef fn = m_.newFunction(std::move(f));
  if (!name.empty()) {
    if (Object* o = innermost()) o->set(m_, name, Value(fn));
  } else {
    push(Value(fn));
  }
  return fn;
}
void Activation::defineFunction(const Action& a) { size_t end; makeFunction(a, false, &end); pc_ = end; }
void Activation::defineFunction2(const Action& a) { size_t end; makeFunction(a, true, &end); pc_ = end; }

// instanceof walks the prototype chain and, at each prototype, the interfaces it implements.
void Activation::instanceOf(const Action&) {
  Value ctor = pop();
  Value v = pop();
  if (!v.isObject() || !ctor.isObject()) return push(Value(false));
  Value proto = ctor.object()->get(m_, "prototype");
  if (!proto.isObject()) return push(Value(false));
  int steps = 0;
  for (ObjectRef o = v.object()->proto(m_); o && steps < 256; o = o->proto(m_)) {
    std::vector<ObjectRef> pending{o};
    while (!pending.empty() && ++steps < 4096) {
      ObjectRef at = pending.back();
      pending.pop_back();
      if (at == proto.object()) return push(Value(true));
      pending.insert(pending.end(), at->interfaces.begin(), at->interfaces.end());
    }
  }
  push(Value(false));
}
// ImplementsOp: the constructor's prototype (from SWF 7) records the interfaces' prototypes.
void Activation::implementsOp(const Action&) {
  Value ctor = pop();
  Value count = pop();
  int64_t n = count.isObject() ? 0 : toInt32(m_.toNumber(count));
  size_t wanted = n < 0 ? stack_.size() : std::min(static_cast<size_t>(n), stack_.size());
  std::vector<ObjectRef> interfaces;
  for (size_t i = 0; i < wanted; ++i) {
    Value v = pop();
    if (!v.isObject()) continue;
    Value proto = v.object()->get(m_, "prototype");
    if (proto.isObject()) interfaces.push_back(proto.object());
  }
  if (interfaces.empty() || !ctor.isObject() || m_.rules().version() < 7) return;
  Value proto = ctor.object()->get(m_, "prototype");
  if (proto.isObject()) proto.object()->interfaces = std::move(interfaces);
}
void Activation::extends(const Action&) {
  Value super = pop();
  Value sub = pop();
  if (!sub.isObject() || !super.isObject()) return;
  ObjectRef proto = m_.newObject();
  Value superProto = super.object()->get(m_, "prototype");
  proto->setProto(m_, superProto.isObject() ? superProto.object() : nullptr);
  proto->define(m_, "__constructor__", super, kDontEnum);
  sub.object()->set(m_, "prototype", Value(proto));
}
void Activation::castOp(const Action&) {
  Value v = pop();
  Value ctor = pop();
  stack_.push_back(v);
  stack_.push_back(ctor);
  instanceOf(Action{0x54, nullptr, 0, pc_});
  push(m_.toBoolean(pop()) ? v : Value::null());
}
void Activation::enumerate(const Action&) { pushEnumeration(lookup(m_.toString(pop()))); }
void Activation::enumerate2(const Action&) { pushEnumeration(pop()); }
// The end marker, then the names for..in gives, the first on top: the prototype's names
// first (those the object has itself left out), then the object's own, newest first, as the
// player orders them.
namespace {
void enumerableNames(Machine& m, Object* o, int depth, std::vector<std::string>* out) {
  if (!o || depth > 256) return;
  ObjectRef proto = o->proto(m);
  if (proto) {
    std::vector<std::string> inherited;
    enumerableNames(m, proto.get(), depth + 1, &inherited);
    for (std::string& n : inherited)
      if (!o->findOwn(m, n)) out->push_back(std::move(n));
  }
  std::vector<Property*> own = o->ownProperties();
  for (auto it = own.rbegin(); it != own.rend(); ++it)
    if (!((*it)->flags & (kDontEnum | m.rules().hiddenPropertyFlags()))) out->push_back((*it)->name);
}
}  // namespace

void Activation::pushEnumeration(const Value& target) {
  stack_.push_back(Value());  // the end marker: undefined, which loops test with == null
  if (!target.isObject() || target.object()->asSuper()) return;
  std::vector<std::string> names;
  enumerableNames(m_, target.object().get(), 0, &names);
  for (auto it = names.rbegin(); it != names.rend(); ++it) push(*it);
}

// Control flow.
void Activation::trace(const Action&) {
  Value v = pop();
  m_.host().trace(v.isUndefined() ? "undefined" : m_.toString(v));
}
void Activation::throwOp(const Action&) { throw ScriptThrow{pop()}; }
void Activation::tryOp(const Action& a) {
  if (a.length < 7) throw ActionError{};
  uint8_t flags = a.data[0];
  size_t trySize = u16(a.data + 1), catchSize = u16(a.data + 3), finallySize = u16(a.data + 5);
  size_t at = 7;
  std::string catchName;
  uint8_t catchRegister = 0;
  if (flags & 4) { if (at >= a.length) throw ActionError{}; catchRegister = a.data[at]; }
  else catchName = readString(a, &at);
  size_t tryBegin = a.next, catchBegin = tryBegin + trySize, finallyBegin = catchBegin + catchSize;
  size_t after = finallyBegin + finallySize;
  auto runBlock = [&](size_t begin, size_t end) { run(begin, end); };
  bool pending = false;
  ScriptThrow thrown;
  size_t depth = stack_.size();
  try {
    runBlock(tryBegin, catchBegin);
  } catch (const ScriptThrow& e) {
    stack_.resize(std::min(stack_.size(), depth));  // a throw drops what the try block pushed
    if (flags & 1) {
      if (flags & 4) { if (catchRegister < registerCount_) registers_[catchRegister] = e.value; }
      else if (Object* o = innermost()) o->set(m_, catchName, e.value);
      try { runBlock(catchBegin, finallyBegin); }
      catch (const ScriptThrow& again) { pending = true; thrown = again; }
    } else {
      pending = true;
      thrown = e;
    }
  }
  if (flags & 2) {
    bool wasReturned = returned_;
    returned_ = false;
    runBlock(finallyBegin, after);
    returned_ = returned_ || wasReturned;
  }
  if (pending) throw thrown;
  pc_ = after;
}
void Activation::with(const Action& a) {
  if (a.length < 2) throw ActionError{};
  size_t size = u16(a.data);
  ObjectRef o = toObject(pop());
  size_t after = a.next + size;
  if (!o) { pc_ = after; return; }
  ScopeRef outer = scope_;
  scope_ = std::make_shared<Scope>(Scope{o, outer});
  run(a.next, after);
  scope_ = outer;
  pc_ = after;
}
void Activation::jump(const Action& a) {
  if (a.length < 2) throw ActionError{};
  pc_ = static_cast<size_t>(static_cast<ptrdiff_t>(a.next) + static_cast<int16_t>(u16(a.data)));
}
void Activation::ifOp(const Action& a) {
  if (m_.toBoolean(pop())) jump(a);
}
void Activation::getUrl(const Action& a) {
  size_t at = 0;
  std::string url = readString(a, &at);
  std::string target = readString(a, &at);
  if (DisplayBridge* d = m_.display(); d && d->loadMovie(m_, timeline_, url, target, false)) return;
  m_.host().getUrl(url, target);
}
void Activation::getUrl2(const Action& a) {
  std::string target = m_.toString(pop());
  std::string url = m_.toString(pop());
  const uint8_t flags = a.length >= 1 ? a.data[0] : 0;
  constexpr uint8_t kTargetIsClip = 0x40, kLoadVariables = 0x80;
  if (!(flags & kLoadVariables))
    if (DisplayBridge* d = m_.display(); d && d->loadMovie(m_, timeline_, url, target, (flags & kTargetIsClip) != 0)) return;
  m_.host().getUrl(url, target);
}
// The display-list actions: the stand-in has no frames, drags or clones to act on, but each
// takes its operands off the stack and converts them as the player does.
void Activation::popFrame(const Action&) {
  Value v = pop();
  if (v.isObject()) m_.toString(v);
}
namespace {
const char* const kClipProperties[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
}  // namespace
ObjectRef Activation::clipAt(const Value& target) {
  if (target.isObject() && target.object()->isClip()) return target.object();
  std::string path = m_.toString(target);  // anything else names a clip by its path
  ObjectRef here = timeline_ ? timeline_ : m_.root();
  return path.empty() ? here : targetOf(here, path, true, true);
}
void Activation::getProperty(const Action&) {
  double index = m_.toNumber(pop());
  ObjectRef clip = clipAt(pop());
  bool known = index > -1 && index < std::size(kClipProperties);
  push(clip && known ? clip->get(m_, kClipProperties[static_cast<size_t>(index)]) : Value());
}
void Activation::setProperty(const Action&) {
  Value value = pop();
  double index = m_.toNumber(pop());
  ObjectRef clip = clipAt(pop());
  if (!clip || !(index > -1 && index < std::size(kClipProperties))) return;
  size_t i = static_cast<size_t>(index);
  clip->set(m_, kClipProperties[i], i == 13 ? Value(m_.toString(value)) : Value(m_.toNumber(value)));
}
void Activation::cloneSprite(const Action&) {
  int32_t depth = toInt32(m_.toNumber(pop()));
  std::string name = m_.toString(pop());
  Value source = pop();
  if (DisplayBridge* display = m_.display())
    if (ObjectRef clip = clipAt(source)) display->cloneSprite(m_, clip, name, depth);
}
// StartDrag: target, lock centre, constrain, and when constrained bottom, right, top, left.
void Activation::startDrag(const Action&) {
  Value target = pop();
  bool lockCentre = toInt32(m_.toNumber(pop())) == 1;
  double bounds[4];
  bool constrained = toInt32(m_.toNumber(pop())) == 1;
  if (constrained)
    for (int i = 3; i >= 0; --i) bounds[i] = m_.toNumber(pop());
  ObjectRef clip = clipAt(target);
  if (DisplayBridge* display = m_.display(); display && clip && clip->isClip())
    display->startDrag(m_, clip, lockCentre, constrained ? bounds : nullptr);
}
void Activation::endDrag(const Action&) {
  if (DisplayBridge* display = m_.display()) display->endDrag(m_);
}

void Activation::getTime(const Action&) {
  static const auto start = std::chrono::steady_clock::now();
  push(static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start).count()));
}
void Activation::randomNumber(const Action&) {
  static std::mt19937 engine{std::random_device{}()};
  double n = m_.toNumber(pop());
  push(n >= 1 ? static_cast<double>(engine() % static_cast<uint32_t>(n)) : 0.0);
}
void Activation::targetPath(const Action&) {
  Value v = pop();
  if (!v.isObject() || !v.object()->isClip()) return push(Value());
  push(v.object()->get(m_, "_target"));
}

}  // namespace avm1
