// Hand-made movies for the display tests.
#include "MovieFixture.h"

namespace fixture {

swf::Shape rectangle(swf::CharacterId id, int w, int h, swf::Rgba color) {
  swf::Shape s;
  s.id = id;
  s.bounds = {0, w * 20, 0, h * 20};
  s.edgeBounds = s.bounds;
  swf::FillStyle fill;
  fill.color = color;
  s.fills.push_back(fill);
  swf::StyleChange start;
  start.moveTo = std::pair{0, 0};
  start.fill1 = 1;
  s.records = {start, swf::StraightEdge{w * 20, 0}, swf::StraightEdge{0, h * 20}, swf::StraightEdge{-w * 20, 0},
               swf::StraightEdge{0, -h * 20}};
  return s;
}

swf::PlaceObject place(uint16_t depth, swf::CharacterId id) {
  swf::PlaceObject p;
  p.version = 2;
  p.depth = depth;
  p.characterId = id;
  return p;
}

swf::PlaceObject move(uint16_t depth) {
  swf::PlaceObject p;
  p.version = 2;
  p.depth = depth;
  p.move = true;
  return p;
}

swf::Matrix translate(double x, double y) {
  swf::Matrix m;
  m.tx = x * 20;
  m.ty = y * 20;
  return m;
}

Movie::Movie(int w, int h) {
  data->version = 8;
  data->frameRect = {0, w * 20, 0, h * 20};
  data->background = swf::Rgba{255, 255, 255, 255};
}

void Movie::add(swf::Character character) {
  const swf::CharacterId id = std::visit([](const auto& c) { return c.id; }, character);
  data->characters[id] = std::make_shared<const swf::Character>(std::move(character));
}

swf::Frame& frameOf(swf::Timeline& timeline, size_t frame) {
  if (timeline.frames.size() < frame) timeline.frames.resize(frame);
  timeline.declaredFrameCount = uint16_t(timeline.frames.size());
  return timeline.frames[frame - 1];
}

swf::Frame& Movie::frame(size_t frame) { return frameOf(data->timeline, frame); }

}  // namespace fixture
