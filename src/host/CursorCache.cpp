// Cursor cache: LookupIconIdFromDirectory picks the group's entry, CreateIconFromResource
// (format version 0x00030000) builds it.
#include "host/CursorCache.h"

#include "host/LoadedImage.h"

namespace lumo {
namespace {

// A cursor group directory (NEWHEADER and its 14-byte entries) that fits its resource.
bool validGroup(const ImageResource& group) {
  if (group.size < 6) return false;
  const auto* header = static_cast<const WORD*>(group.data);
  return group.size >= 6u + 14u * header[2];
}

}  // namespace

HCURSOR CursorCache::cached(const char* name) const {
  if (IS_INTRESOURCE(name)) {
    const WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    for (const auto& entry : byId_) {
      if (entry.first == id) return entry.second.get();
    }
  } else {
    for (const auto& entry : byName_) {
      if (entry.first == name) return entry.second.get();
    }
  }
  return nullptr;
}

HCURSOR CursorCache::load(const LoadedImage& image, const char* name) {
  std::lock_guard<std::mutex> hold(lock_);
  if (HCURSOR cursor = cached(name)) return cursor;
  const auto group = image.findResource(MAKEINTRESOURCEA(12), name);  // RT_GROUP_CURSOR
  if (!group || !validGroup(*group)) return nullptr;
  const int id = LookupIconIdFromDirectory(static_cast<PBYTE>(const_cast<void*>(group->data)), FALSE);
  if (id <= 0) return nullptr;
  const auto data = image.findResource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(id));  // RT_CURSOR
  if (!data) return nullptr;
  UniqueCursor cursor(reinterpret_cast<HCURSOR>(
      CreateIconFromResource(static_cast<PBYTE>(const_cast<void*>(data->data)), data->size, FALSE, 0x00030000)));
  if (!cursor) return nullptr;
  const HCURSOR result = cursor.get();
  if (IS_INTRESOURCE(name))
    byId_.emplace_back(static_cast<WORD>(reinterpret_cast<uintptr_t>(name)), std::move(cursor));
  else
    byName_.emplace_back(name, std::move(cursor));
  return result;
}

size_t CursorCache::size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return byId_.size() + byName_.size();
}

void CursorCache::clear() {
  std::lock_guard<std::mutex> hold(lock_);
  byId_.clear();
  byName_.clear();
}

}  // namespace lumo
