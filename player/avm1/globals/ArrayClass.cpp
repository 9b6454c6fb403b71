// Array: the constructor and its methods, which work element by element through the array's
// properties as the player does (holes stay holes, deleted elements come back last in for..in),
// and sort with the player's options and its quicksort.
#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {
enum SortOptions : int { kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16 };

// Element access on any object, as the methods see it: the object's own stored values, never
// its prototypes' or a getter's.
struct Elements {
  Machine& m;
  ObjectRef o;
  Value data(const std::string& name) {
    Property* p = o->findOwn(m, name);
    return p ? p->value : Value();
  }
  int32_t length() { return toInt32(m.toNumber(data("length"))); }
  void setLength(int32_t n) {
    if (!o->keepLength(m, n)) o->setData(m, "length", Value(static_cast<double>(n)));
  }
  // An array's elements by index where its table can tell, by name otherwise.
  Value get(int32_t i) {
    bool known = false;
    Property* p = i >= 0 ? o->findOwnElement(m, static_cast<uint32_t>(i), &known) : nullptr;
    if (known) return p ? p->value : Value();
    return data(std::to_string(i));
  }
  bool has(int32_t i) {
    bool known = false;
    Property* p = i >= 0 ? o->findOwnElement(m, static_cast<uint32_t>(i), &known) : nullptr;
    return known ? p != nullptr : o->findOwn(m, std::to_string(i)) != nullptr;
  }
  void set(int32_t i, const Value& v) {
    auto at = static_cast<uint32_t>(i);
    if (i >= 0 && (o->setElementInPlace(m, at, v) || o->appendElement(m, at, v))) return;
    o->setData(m, std::to_string(i), v);
  }
  void remove(int32_t i) { o->remove(m, std::to_string(i)); }
  void move(int32_t from, int32_t to) { Value v = get(from); remove(to); set(to, v); }
};

int32_t absoluteIndex(int32_t index, int32_t length) {
  return index < 0 ? std::max(index + length, 0) : std::min(index, length);
}

// Compares two elements for sort: numbers as numbers under NUMERIC, the rest as text.
int compareValues(Machine& m, const Value& a, const Value& b, int options) {
  int result;
  if ((options & kNumeric) && a.isNumber() && b.isNumber()) {
    result = a.number() < b.number() ? -1 : a.number() > b.number() ? 1 : 0;
  } else if (a.isString() && b.isString() && !(options & kCaseInsensitive)) {
    int order = a.string().compare(b.string());  // two texts: compared where they are
    result = order < 0 ? -1 : order > 0 ? 1 : 0;
  } else {
    std::string x = m.toString(a), y = m.toString(b);
    if (options & kCaseInsensitive) {
      for (char& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      for (char& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    result = x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
  }
  return (options & kDescending) ? -result : result;
}

using Compare = std::function<int(const Value&, const Value&, int)>;
using Entry = std::pair<int32_t, Value>;

// The player's quicksort: the leftmost element is the pivot, which decides the order of the
// calls a script comparator sees.
void quicksort(std::vector<Entry>& items, const Compare& compare, int options) {
  if (items.size() < 2) return;
  std::vector<std::pair<size_t, size_t>> stack{{0, items.size() - 1}};
  while (!stack.empty()) {
    auto [low, high] = stack.back();
    stack.pop_back();
    if (low >= high) continue;
    Value pivot = items[low].second;
    size_t left = low + 1, right = high;
    for (;;) {
      while (left < right && compare(pivot, items[left].second, options) > 0) ++left;
      while (right > low && compare(pivot, items[right].second, options) <= 0) --right;
      if (left >= right) break;
      std::swap(items[left], items[right]);
    }
    std::swap(items[low], items[right]);
    stack.push_back({right + 1, high});
    if (right > 0) stack.push_back({low, right - 1});
  }
}

Value sortElements(Machine& m, const Value& self, const Compare& compare, int options, bool sortOn) {
  Elements a{m, self.object()};
  int32_t length = a.length();
  std::vector<Entry> items;
  for (int32_t i = 0; i < length; ++i) items.emplace_back(i, a.get(i));
  bool descending = options & kDescending;
  int used = sortOn ? options : options & ~kDescending;  // sort reverses afterwards instead
  quicksort(items, compare, used);
  if (!sortOn && descending) std::reverse(items.begin(), items.end());
  if (options & kUniqueSort)
    for (size_t i = 1; i < items.size(); ++i) {
      int same = sortOn ? compare(items[i - 1].second, items[i].second, used)
                        : compareValues(m, items[i - 1].second, items[i].second, used);
      if (same == 0) return Value(0);
    }
  if (options & kReturnIndexedArray) {
    Args indexes;
    for (const Entry& e : items) indexes.push_back(Value(static_cast<double>(e.first)));
    return Value(m.newArray(indexes));
  }
  for (size_t i = 0; i < items.size(); ++i) a.set(static_cast<int32_t>(i), items[i].second);
  return self;
}

Value newArrayOf(Machine& m, const Args& args) {
  if (args.size() == 1 && args[0].isNumber()) {
    ObjectRef a = m.newArray();
    double n = args[0].number();  // clamped, not wrapped
    a->set(m, "length", Value(std::isnan(n) ? 0.0 : std::clamp(std::trunc(n), -2147483648.0, 2147483647.0)));
    return Value(a);
  }
  return Value(m.newArray(args));
}
}  // namespace

void installArrayClass(Machine& m) {
  auto proto = m.newObject();
  ObjectRef ctor = defineClass(m, "Array", [](Machine& mm, const Value&, const Args& args) {
    return newArrayOf(mm, args);
  }, proto);
  static_cast<FunctionObject*>(ctor.get())->constructsOwnObject = true;
  for (auto [name, value] : {std::pair{"CASEINSENSITIVE", kCaseInsensitive}, {"DESCENDING", kDescending},
                             {"UNIQUESORT", kUniqueSort}, {"RETURNINDEXEDARRAY", kReturnIndexedArray},
                             {"NUMERIC", kNumeric}})
    ctor->define(m, name, Value(value), kDontEnum | kDontDelete | kReadOnly);
  auto method = [&](const char* name, NativeFunction f) {
    defineMethod(m, proto, name, [f](Machine& mm, const Value& self, const Args& args) {
      return self.isObject() ? f(mm, self, args) : Value();
    });
    proto->findOwn(m, name)->flags = kDontEnum | kDontDelete;
  };
  method("push", [](Machine& mm, const Value& self, const Args& args) {
    Elements a{mm, self.object()};
    int32_t length = a.length();
    for (size_t i = 0; i < args.size(); ++i) a.set(length + static_cast<int32_t>(i), args[i]);
    a.setLength(length + static_cast<int32_t>(args.size()));
    return Value(static_cast<double>(length + static_cast<int32_t>(args.size())));
  });
  method("pop", [](Machine& mm, const Value& self, const Args&) {
    Elements a{mm, self.object()};
    int32_t length = a.length();
    if (length <= 0) return Value();
    Value last = a.get(length - 1);
    a.remove(length - 1);
    if (self.object()->isArray()) a.setLength(length - 1);
    return last;
  });
  method("shift", [](Machine& mm, const Value& self, const Args&) {
    Elements a{mm, self.object()};
    int32_t length = a.length();
    if (length <= 0) return Value();
    Value first = a.get(0);
    for (int32_t i = 1; i < length; ++i) a.move(i, i - 1);
    if (self.object()->isArray()) a.setLength(length - 1);
    return first;
  });
  method("unshift", [](Machine& mm, const Value& self, const Args& args) {
    Elements a{mm, self.object()};
    int32_t length = a.length(), grown = length + static_cast<int32_t>(args.size());
    for (int32_t i = 0; i < length; ++i) a.move(length - i - 1, grown - i - 1);
    for (size_t i = 0; i < args.size(); ++i) {
      a.remove(static_cast<int32_t>(i));
      a.set(static_cast<int32_t>(i), args[i]);
    }
    if (self.object()->isArray()) a.setLength(grown);
    return Value(static_cast<double>(grown));
  });
  method("reverse", [](Machine& mm, const Value& self, const Args&) {
    Elements a{mm, self.object()};
    int32_t length = a.length();
    for (int32_t low = 0; low < length / 2; ++low) {
      int32_t high = length - low - 1;
      Value lowValue = a.get(low), highValue = a.get(high);
      a.remove(low);
      a.remove(high);
      a.set(low, highValue);
      a.set(high, lowValue);
    }
    return self;
  });
  auto join = [](Machine& mm, const Value& self, const Args& args) {
    Elements a{mm, self.object()};
    std::string separator = args.empty() || args[0].isUndefined() ? "," : mm.toString(args[0]);
    int32_t length = a.length();
    std::string out;
    for (int32_t i = 0; i < length; ++i) {
      if (i) out += separator;
      out += mm.toString(a.get(i));
    }
    return Value(out);
  };
  method("join", join);
  method("toString", [join](Machine& mm, const Value& self, const Args&) { return join(mm, self, {}); });
  method("slice", [](Machine& mm, const Value& self, const Args& args) {
    Elements a{mm, self.object()};
    int32_t length = a.length();
    int32_t from = absoluteIndex(toInt32(mm.toNumber(arg(args, 0))), length);
    int32_t to = arg(args, 1).isUndefined() ? length : absoluteIndex(toInt32(mm.toNumber(args[1])), length);
    Args items;
    for (int32_t i = from; i < to; ++i) items.push_back(a.get(i));
    return Value(mm.newArray(items));
  });
  method("splice", [](Machine& mm, const Value& self, const Args& args) {
    if (arg(args, 0).isUndefined()) return Value();
    Elements a{mm, self.object()};
    int32_t length = a.length();
    int32_t start = absoluteIndex(toInt32(mm.toNumber(args[0])), length);
    int32_t count = length - start;
    if (args.size() > 1) {
      if (args[1].isUndefined()) return Value();
      count = std::min(toInt32(mm.toNumber(args[1])), length - start);
    }
    if (count < 0) return Value();
    Args removed;
    for (int32_t i = 0; i < count; ++i) removed.push_back(a.get(start + i));
    Args items(args.begin() + std::min<size_t>(2, args.size()), args.end());
    int32_t added = static_cast<int32_t>(items.size());
    auto shift = [&](int32_t i) {  // moves element i to its place after the splice, holes too
      int32_t to = i - count + added;
      if (a.has(i)) a.set(to, a.get(i));
      else a.remove(to);
    };
    if (added > count)
      for (int32_t i = length - 1; i >= start + count; --i) shift(i);
    else
      for (int32_t i = start + count; i < length; ++i) shift(i);
    for (int32_t i = 0; i < added; ++i) a.set(start + i, items[static_cast<size_t>(i)]);
    a.setLength(length - count + added);
    return Value(mm.newArray(removed));
  });
  method("concat", [](Machine& mm, const Value& self, const Args& args) {
    Args items;
    auto append = [&](const Value& v, bool isThis) {
      if (v.isObject() && (isThis || v.object()->isArray())) {
        Elements e{mm, v.object()};
        int32_t length = e.length();
        for (int32_t i = 0; i < length; ++i) items.push_back(e.get(i));
      } else {
        items.push_back(v);
      }
    };
    append(self, true);
    for (const Value& v : args) append(v, false);
    return Value(mm.newArray(items));
  });
  // sort(), sort(options), sort(compare), sort(compare, options); anything else does nothing.
  method("sort", [](Machine& mm, const Value& self, const Args& args) {
    Value first = arg(args, 0);
    Value compareFunction;
    int options = 0;
    if (first.isObject()) {
      compareFunction = first;
      if (arg(args, 1).isNumber()) options = toInt32(args[1].number());
    } else if (first.isNumber()) {
      options = toInt32(arg(args, 1).isNumber() ? args[1].number() : first.number());
    } else if (!args.empty()) {
      return Value();
    }
    Compare compare = [&mm](const Value& a, const Value& b, int o) { return compareValues(mm, a, b, o); };
    if (compareFunction.isObject())
      compare = [&mm, compareFunction, pair = Args(2)](const Value& a, const Value& b, int) mutable {
        pair[0] = a, pair[1] = b;  // one list for every call: the callee gets its own copies
        double r = mm.toNumber(mm.call(compareFunction, Value(), pair));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
      };
    return sortElements(mm, self, compare, options, false);
  });
  // sortOn(field, options) or sortOn([fields], [options] or options): by fields in turn.
  method("sortOn", [](Machine& mm, const Value& self, const Args& args) {
    if (args.empty()) return Value();
    std::vector<std::pair<std::string, int>> fields;
    Value first = args[0];
    Compare plain = [&mm](const Value& a, const Value& b, int o) { return compareValues(mm, a, b, o); };
    if (first.isObject()) {
      if (!first.object()->isArray()) return sortElements(mm, self, plain, 0, true);
      Elements names{mm, first.object()};
      int32_t count = names.length();
      if (count <= 0) return self;
      for (int32_t i = 0; i < count; ++i) fields.emplace_back(mm.toString(names.get(i)), 0);
      Value options = arg(args, 1);
      if (options.isObject() && options.object()->isArray()) {
        Elements list{mm, options.object()};
        if (list.length() == count)
          for (int32_t i = 0; i < count; ++i) fields[static_cast<size_t>(i)].second = toInt32(mm.toNumber(list.get(i)));
      } else if (args.size() > 1 && !options.isObject()) {
        for (auto& f : fields) f.second = toInt32(mm.toNumber(options));
      }
    } else {
      fields.emplace_back(mm.toString(first), arg(args, 1).isNumber() ? toInt32(args[1].number()) : 0);
    }
    Compare byFields = [&mm, fields](const Value& a, const Value& b, int mainOptions) {
      if (!a.isObject() || !b.isObject()) return compareValues(mm, a, b, mainOptions);
      for (const auto& [name, options] : fields) {
        Property* x = a.object()->findOwn(mm, name);
        Property* y = b.object()->findOwn(mm, name);
        int r = compareValues(mm, x ? x->value : Value(), y ? y->value : Value(), options);
        if (r) return r;
      }
      return 0;
    };
    return sortElements(mm, self, byFields, fields[0].second, true);
  });
}

}  // namespace avm1
