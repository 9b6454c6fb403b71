// A container's children by depth, drawn from the lowest depth up; a clip layer (clip depth
// set) masks the depths above it up to its clip depth.
#pragma once

#include <map>
#include <memory>
#include <string_view>

#include "DisplayObject.h"

namespace display {

class DisplayList {
 public:
  using Children = std::map<int32_t, std::shared_ptr<DisplayObject>>;

  DisplayObject* at(int32_t depth) const;
  // The first child of that name in depth order.
  DisplayObject* byName(std::string_view name) const;
  // Puts `object` at its depth, in place of what was there.
  void put(std::shared_ptr<DisplayObject> object);
  // Takes the child at `depth` off the list (marked removed), if there is one.
  void remove(int32_t depth);
  void clear();
  // Exchanges the instances at two depths, either of which may be empty.
  void swap(int32_t a, int32_t b);

  const Children& children() const { return children_; }
  bool empty() const { return children_.empty(); }

  void render(RenderContext& context, const swf::Matrix& toPixels, const swf::ColorTransform& colorTransform) const;

 private:
  Children children_;
};

}  // namespace display
