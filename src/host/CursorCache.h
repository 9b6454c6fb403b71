// Cursors the player loads from its own image: made once per resource id or name from the
// cursor group and kept until the module goes.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace lumo {

class LoadedImage;

struct CursorTraits {
  using Handle = HCURSOR;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyCursor(h); }
};
using UniqueCursor = UniqueHandle<CursorTraits>;

class CursorCache {
 public:
  // The cached cursor for `name` (an id or an ANSI name), else one made from the image's cursor
  // group (RT_GROUP_CURSOR) and cursor (RT_CURSOR) resources; null when there is none.
  HCURSOR load(const LoadedImage& image, const char* name);
  size_t size() const;
  void clear();

 private:
  HCURSOR cached(const char* name) const;

  mutable std::mutex lock_;
  std::vector<std::pair<WORD, UniqueCursor>> byId_;
  std::vector<std::pair<std::string, UniqueCursor>> byName_;
};

}  // namespace lumo
