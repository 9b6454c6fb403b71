// Times the software renderer on 1280x720 frames: a busy vector scene and a bitmap-heavy one
// against filling the frame with one colour, and the vector scene's time as shapes are added.
// Prints rows of the benchmark table (median processor time of several frames each).
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "SoftwareRenderer.h"

namespace {

constexpr uint32_t kWidth = 1280, kHeight = 720;

// The thread's processor time: on a shared machine wall time measures the other programs too.
double cpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double medianMicroseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = cpuMicroseconds();
    work();
    times.push_back(cpuMicroseconds() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

swf::Rgba randomColor(std::mt19937& rng, uint8_t minAlpha) {
  std::uniform_int_distribution<int> channel(0, 255), alpha(minAlpha, 255);
  return {uint8_t(channel(rng)), uint8_t(channel(rng)), uint8_t(channel(rng)), uint8_t(alpha(rng))};
}

// A circle of eight quadratic arcs (radius r twips, centred on 0) or a rectangle, with a fill
// (solid, linear or radial gradient) and a stroke.
swf::Shape randomShape(std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(0, 1);
  swf::Shape shape;
  swf::FillStyle fill;
  const int kind = int(unit(rng) * 3);
  fill.color = randomColor(rng, 128);
  if (kind > 0) {
    fill.kind = kind == 1 ? swf::FillKind::LinearGradient : swf::FillKind::RadialGradient;
    const double scale = 2000.0 / 16384 * (0.5 + unit(rng));
    const double angle = unit(rng) * 6.28;
    fill.gradient.matrix = {scale * std::cos(angle), scale * std::sin(angle), -scale * std::sin(angle), scale * std::cos(angle), 0, 0};
    fill.gradient.stops = {{0, randomColor(rng, 200)}, {128, randomColor(rng, 100)}, {255, randomColor(rng, 200)}};
  }
  swf::LineStyle line;
  line.width = uint16_t(20 + unit(rng) * 60);
  line.color = randomColor(rng, 200);
  shape.fills = {fill};
  shape.lines = {line};
  const int r = int(400 + unit(rng) * 1600);
  swf::StyleChange start;
  start.fill1 = 1;
  start.line = 1;
  if (unit(rng) < 0.5) {
    start.moveTo = std::pair{r, 0};
    shape.records.push_back(start);
    double px = r, py = 0;
    for (int i = 0; i < 8; ++i) {
      const double a0 = i * 3.14159265 / 4, a1 = (i + 1) * 3.14159265 / 4, am = (a0 + a1) / 2;
      const double cx = r / std::cos(3.14159265 / 8) * std::cos(am), cy = r / std::cos(3.14159265 / 8) * std::sin(am);
      const double ax = r * std::cos(a1), ay = r * std::sin(a1);
      shape.records.push_back(swf::CurvedEdge{int(cx - px), int(cy - py), int(ax - cx), int(ay - cy)});
      px = int(px) + int(cx - px) + int(ax - cx);
      py = int(py) + int(cy - py) + int(ay - cy);
    }
    shape.records.push_back(swf::StraightEdge{int(r - px), int(-py)});
  } else {
    start.moveTo = std::pair{-r, -r / 2};
    shape.records.push_back(start);
    shape.records.push_back(swf::StraightEdge{2 * r, 0});
    shape.records.push_back(swf::StraightEdge{0, r});
    shape.records.push_back(swf::StraightEdge{-2 * r, 0});
    shape.records.push_back(swf::StraightEdge{0, -r});
  }
  return shape;
}

struct Placed {
  render::PreparedShape shape;
  swf::Matrix matrix;
};

std::vector<Placed> vectorScene(int count) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<Placed> scene;
  for (int i = 0; i < count; ++i) {
    const double scale = (0.5 + unit(rng)) / 20, angle = unit(rng) * 6.28;
    scene.push_back({render::prepareShape(randomShape(rng)),
                     {scale * std::cos(angle), scale * std::sin(angle), -scale * std::sin(angle),
                      scale * std::cos(angle), unit(rng) * kWidth, unit(rng) * kHeight}});
  }
  return scene;
}

double timeVectorScene(render::SoftwareRenderer& renderer, const std::vector<Placed>& scene, int runs) {
  return medianMicroseconds(runs, [&] {
    renderer.beginFrame(kWidth, kHeight, swf::Rgba{255, 255, 255, 255});
    for (const Placed& placed : scene) renderer.drawShape(placed.shape, placed.matrix, {});
    renderer.endFrame();
  });
}

}  // namespace

int main() {
  render::SoftwareRenderer renderer;
  const int runs = 9;
  const double fill = medianMicroseconds(runs * 3, [&] {
    renderer.beginFrame(kWidth, kHeight, swf::Rgba{255, 255, 255, 255});
    renderer.endFrame();
  });

  const std::vector<Placed> scene = vectorScene(400);
  const double vector = timeVectorScene(renderer, scene, runs);

  // Bitmaps: 60 photographs' worth of noise, 256x256, scaled and turned, smoothed, some faded.
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0, 1);
  swf::Bitmap bitmap;
  bitmap.width = bitmap.height = 256;
  bitmap.rgba.resize(256 * 256 * 4);
  for (size_t i = 0; i < bitmap.rgba.size(); i += 4) {
    const swf::Rgba c = randomColor(rng, 255);
    bitmap.rgba[i] = c.r;
    bitmap.rgba[i + 1] = c.g;
    bitmap.rgba[i + 2] = c.b;
    bitmap.rgba[i + 3] = 255;
  }
  struct Draw {
    swf::Matrix matrix;
    swf::ColorTransform cx;
  };
  std::vector<Draw> draws;
  for (int i = 0; i < 60; ++i) {
    const double scale = 0.5 + unit(rng), angle = unit(rng) * 0.6 - 0.3;
    swf::ColorTransform cx;
    if (i % 3 == 0) cx.aMult = 160;
    draws.push_back({{scale * std::cos(angle), scale * std::sin(angle), -scale * std::sin(angle), scale * std::cos(angle),
                      unit(rng) * kWidth - 128, unit(rng) * kHeight - 128}, cx});
  }
  const double bitmaps = medianMicroseconds(runs, [&] {
    renderer.beginFrame(kWidth, kHeight, swf::Rgba{255, 255, 255, 255});
    for (const Draw& d : draws) renderer.drawBitmap(bitmap, d.matrix, true, d.cx);
    renderer.endFrame();
  });

  std::printf("| renderer: 400 vector shapes (gradients, strokes), 1280x720 | %.0f us | one-colour fill %.0f us | %.1f |\n",
              vector, fill, vector / fill);
  std::printf("| renderer: 60 smoothed, turned 256x256 bitmaps, 1280x720 | %.0f us | one-colour fill %.0f us | %.1f |\n",
              bitmaps, fill, bitmaps / fill);
  double first = 0;
  for (int count : {100, 200, 400, 800}) {
    const double time = timeVectorScene(renderer, vectorScene(count), runs);
    if (!first) first = time;
    std::printf("| renderer: %d vector shapes | %.0f us | 100 shapes %.0f us | %.2f |\n", count, time, first, time / first);
  }
}
