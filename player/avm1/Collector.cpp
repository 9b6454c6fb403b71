#include "Collector.h"

#include "Object.h"
#include "Scope.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace avm1 {

// Trial deletion: each object's and scope's count of references, less those held by other
// objects and scopes, leaves what is held from outside (the machine, the player, a running
// script, a native function's captures). Whatever those roots do not reach is garbage. Only
// references an object shows are subtracted, so one it does not show keeps its target alive.
namespace {
constexpr size_t kMinimumBetweenCollections = 4096;
size_t liveAfterLast = 0;

struct Graph {
  std::unordered_map<const Object*, int64_t> objects;  // counts, then (after marking) < 0 when reached
  std::unordered_map<const Scope*, int64_t> scopes;
};

class Subtract : public ReferenceVisitor {
 public:
  explicit Subtract(Graph& g) : g_(g) {}
  void object(const ObjectRef& o) override {
    auto it = g_.objects.find(o.get());
    if (it != g_.objects.end()) --it->second;
  }
  void scope(const ScopeRef& s) override {
    auto [it, first] = g_.scopes.try_emplace(s.get(), s.use_count());
    --it->second;
    if (first) {  // a scope's own references, once
      if (s->object) object(s->object);
      if (s->parent) scope(s->parent);
    }
  }

 private:
  Graph& g_;
};

class Mark : public ReferenceVisitor {
 public:
  explicit Mark(Graph& g) : g_(g) {}
  void object(const ObjectRef& o) override { reach(o.get()); }
  void scope(const ScopeRef& s) override { reach(s.get()); }
  void reach(const Object* o) {
    auto it = g_.objects.find(o);
    if (it != g_.objects.end() && it->second >= 0) it->second = -1, objects_.push_back(o);
  }
  void reach(const Scope* s) {
    auto it = g_.scopes.find(s);
    if (it != g_.scopes.end() && it->second >= 0) it->second = -1, scopes_.push_back(s);
  }
  void run() {
    while (!objects_.empty() || !scopes_.empty()) {
      if (!objects_.empty()) {
        const Object* o = objects_.back();
        objects_.pop_back();
        o->visitReferences(*this);
      } else {
        const Scope* s = scopes_.back();
        scopes_.pop_back();
        if (s->object) object(s->object);
        if (s->parent) scope(s->parent);
      }
    }
  }

 private:
  Graph& g_;
  std::vector<const Object*> objects_;
  std::vector<const Scope*> scopes_;
};
}  // namespace

bool Collector::due() {
  size_t made = Object::madeSinceCollection();
  return made >= kMinimumBetweenCollections && made >= liveAfterLast;
}

size_t Collector::collect() {
  Graph g;
  g.objects.reserve(Object::liveCount());
  // An object no shared pointer owns is held by whoever made it: a root.
  Object::forEachLive([&](Object* o) {
    int64_t count = o->weak_from_this().use_count();
    g.objects.emplace(o, count > 0 ? count : int64_t{1} << 40);
  });
  Subtract subtract(g);
  Object::forEachLive([&](Object* o) { o->visitReferences(subtract); });
  // Roots first, all of them, then everything they reach.
  std::vector<const Object*> rootObjects;
  std::vector<const Scope*> rootScopes;
  for (const auto& [o, count] : g.objects)
    if (count > 0) rootObjects.push_back(o);
  for (const auto& [s, count] : g.scopes)
    if (count > 0) rootScopes.push_back(s);
  Mark mark(g);
  for (const Object* o : rootObjects) mark.reach(o);
  for (const Scope* s : rootScopes) mark.reach(s);
  mark.run();
  // The garbage is held here while each drops its references, so none goes half-way through.
  std::vector<ObjectRef> garbage;
  Object::forEachLive([&](Object* o) {
    if (g.objects[o] >= 0)
      if (ObjectRef held = o->weak_from_this().lock()) garbage.push_back(std::move(held));
  });
  for (const ObjectRef& o : garbage) o->dropReferences();
  size_t freed = garbage.size();
  garbage.clear();
  Object::registry().made = 0;
  liveAfterLast = Object::liveCount();
  return freed;
}

}  // namespace avm1
