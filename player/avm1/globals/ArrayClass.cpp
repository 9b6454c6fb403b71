// Array: the constructor and the common methods, over the array's indexed properties.
#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {
Args elements(Machine& m, const Value& self) {
  Args out;
  if (!self.isObject()) return out;
  double n = m.toNumber(self.object()->get(m, "length"));
  for (int i = 0; i < n; ++i) out.push_back(self.object()->get(m, std::to_string(i)));
  return out;
}

void store(Machine& m, const Value& self, const Args& items) {
  if (!self.isObject()) return;
  self.object()->set(m, "length", Value(0));
  for (size_t i = 0; i < items.size(); ++i) self.object()->set(m, std::to_string(i), items[i]);
}

std::string join(Machine& m, const Value& self, const std::string& separator) {
  std::string out;
  Args items = elements(m, self);
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += separator;
    if (!items[i].isUndefined()) out += m.toString(items[i]);
    else out += m.rules().undefinedIsEmpty() ? "" : "undefined";
  }
  return out;
}

size_t clampIndex(double at, size_t size) {
  if (std::isnan(at)) return 0;
  if (at < 0) at = std::max(0.0, at + static_cast<double>(size));
  return static_cast<size_t>(std::min(at, static_cast<double>(size)));
}
}  // namespace

void installArrayClass(Machine& m) {
  auto proto = m.newObject();
  ObjectRef ctor = defineClass(m, "Array", [](Machine& mm, const Value&, const Args& args) {
    if (args.size() == 1 && args[0].isNumber()) {
      ObjectRef a = mm.newArray();
      a->set(mm, "length", args[0]);
      return Value(a);
    }
    return Value(mm.newArray(args));
  }, proto);
  static_cast<FunctionObject*>(ctor.get())->constructsOwnObject = true;
  defineMethod(m, proto, "push", [](Machine& mm, const Value& self, const Args& args) {
    Args items = elements(mm, self);
    for (const Value& v : args) self.object()->set(mm, std::to_string(items.size() + (&v - args.data())), v);
    return Value(static_cast<double>(items.size() + args.size()));
  });
  defineMethod(m, proto, "pop", [](Machine& mm, const Value& self, const Args&) {
    Args items = elements(mm, self);
    if (items.empty()) return Value();
    Value last = items.back();
    self.object()->set(mm, "length", Value(static_cast<double>(items.size() - 1)));
    return last;
  });
  defineMethod(m, proto, "shift", [](Machine& mm, const Value& self, const Args&) {
    Args items = elements(mm, self);
    if (items.empty()) return Value();
    Value first = items.front();
    store(mm, self, Args(items.begin() + 1, items.end()));
    return first;
  });
  defineMethod(m, proto, "unshift", [](Machine& mm, const Value& self, const Args& args) {
    Args items = args;
    Args old = elements(mm, self);
    items.insert(items.end(), old.begin(), old.end());
    store(mm, self, items);
    return Value(static_cast<double>(items.size()));
  });
  defineMethod(m, proto, "join", [](Machine& mm, const Value& self, const Args& args) {
    return Value(join(mm, self, args.empty() || args[0].isUndefined() ? "," : mm.toString(args[0])));
  });
  defineMethod(m, proto, "toString", [](Machine& mm, const Value& self, const Args&) {
    return Value(join(mm, self, ","));
  });
  defineMethod(m, proto, "reverse", [](Machine& mm, const Value& self, const Args&) {
    Args items = elements(mm, self);
    std::reverse(items.begin(), items.end());
    store(mm, self, items);
    return self;
  });
  defineMethod(m, proto, "concat", [](Machine& mm, const Value& self, const Args& args) {
    Args items = elements(mm, self);
    for (const Value& v : args) {
      if (v.isObject() && v.object()->isArray()) {
        Args more = elements(mm, v);
        items.insert(items.end(), more.begin(), more.end());
      } else {
        items.push_back(v);
      }
    }
    return Value(mm.newArray(items));
  });
  defineMethod(m, proto, "slice", [](Machine& mm, const Value& self, const Args& args) {
    Args items = elements(mm, self);
    size_t from = clampIndex(args.empty() ? 0 : mm.toNumber(args[0]), items.size());
    size_t to = args.size() < 2 || args[1].isUndefined() ? items.size()
                                                          : clampIndex(mm.toNumber(args[1]), items.size());
    return Value(mm.newArray(from < to ? Args(items.begin() + static_cast<long>(from), items.begin() + static_cast<long>(to)) : Args{}));
  });
  defineMethod(m, proto, "splice", [](Machine& mm, const Value& self, const Args& args) {
    Args items = elements(mm, self);
    size_t from = clampIndex(args.empty() ? 0 : mm.toNumber(args[0]), items.size());
    size_t count = args.size() < 2 ? items.size() - from
                                   : std::min(clampIndex(mm.toNumber(args[1]), items.size()), items.size() - from);
    Args removed(items.begin() + static_cast<long>(from), items.begin() + static_cast<long>(from + count));
    items.erase(items.begin() + static_cast<long>(from), items.begin() + static_cast<long>(from + count));
    if (args.size() > 2) items.insert(items.begin() + static_cast<long>(from), args.begin() + 2, args.end());
    store(mm, self, items);
    return Value(mm.newArray(removed));
  });
  defineMethod(m, proto, "sort", [](Machine& mm, const Value& self, const Args& args) {
    Args items = elements(mm, self);
    Value compare = arg(args, 0);
    std::stable_sort(items.begin(), items.end(), [&](const Value& a, const Value& b) {
      if (compare.isObject()) return mm.toNumber(mm.call(compare, Value(), {a, b})) < 0;
      return mm.toString(a) < mm.toString(b);
    });
    store(mm, self, items);
    return self;
  });
}

}  // namespace avm1
