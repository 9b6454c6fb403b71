// A button (DefineButton, DefineButton2) as it looks with no pointer over it: the characters of
// its up state on a list of its own. Presses and the other states wait for the input work.
#pragma once

#include "../swf/SwfMovieData.h"
#include "DisplayList.h"
#include "DisplayObject.h"

namespace display {

class DisplayContext;

class ButtonObject final : public DisplayObject {
 public:
  ButtonObject(DisplayContext& context, const swf::RawCharacter& button);

  const DisplayList& children() const { return list_; }

  void markRemoved() override;
  void render(RenderContext& context, const swf::Matrix& toPixels,
              const swf::ColorTransform& colorTransform) const override;

 private:
  DisplayList list_;
};

}  // namespace display
