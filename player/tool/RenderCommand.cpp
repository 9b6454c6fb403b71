// lumo-movie render: plays a movie for N frames without a window and writes its stage as a PNG.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "Commands.h"
#include "../swf/MovieReader.h"
#include "../display/MoviePlayer.h"
#include "../clips/ClipStage.h"
#include "PngWriter.h"
#include "../render/SoftwareRenderer.h"
#include "../text/TrueTypeFonts.h"

namespace tool {

namespace {

const char kRenderUsage[] =
    "usage: lumo-movie render MOVIE.swf --frames N -o OUT.png [--scale S] [--quality low|medium|high|best]"
    " [--actionscript]\n";

// Scripts rendered with --actionscript run silently: only their drawing counts.
class SilentHost : public avm1::Host {
 public:
  void trace(const std::string&) override {}
  void getUrl(const std::string&, const std::string&) override {}
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return avm1::Value::null(); }
};

const std::map<std::string, render::Quality> kQualities = {
    {"low", render::Quality::Low}, {"medium", render::Quality::Medium},
    {"high", render::Quality::High}, {"best", render::Quality::Best}};

// The frame is premultiplied; PNG wants straight alpha.
std::vector<uint8_t> straightRgba(const render::Frame& frame) {
  std::vector<uint8_t> out(frame.pixels.size() * 4);
  for (size_t i = 0; i < frame.pixels.size(); ++i) {
    render::Pixel p = render::unpackPixel(frame.pixels[i]);
    uint8_t* o = &out[i * 4];
    if (p.a == 0) continue;
    auto straight = [&](uint8_t c) { return uint8_t(std::min(255, (c * 255 + p.a / 2) / p.a)); };
    o[0] = straight(p.r);
    o[1] = straight(p.g);
    o[2] = straight(p.b);
    o[3] = p.a;
  }
  return out;
}

}  // namespace

int runRender(int argc, char** argv) {
  const char* moviePath = nullptr;
  const char* outPath = nullptr;
  long frames = 1;
  double scale = 1;
  render::Quality quality = render::Quality::High;
  bool actionScript = false;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if ((a == "--frames" || a == "-o" || a == "--scale" || a == "--quality") && !v) {
      std::fprintf(stderr, "lumo-movie render: %s needs a value\n%s", a.c_str(), kRenderUsage);
      return 2;
    }
    if (a == "--frames") {
      frames = std::strtol(argv[++i], nullptr, 10);
    } else if (a == "-o") {
      outPath = argv[++i];
    } else if (a == "--scale") {
      scale = std::atof(argv[++i]);
    } else if (a == "--quality") {
      auto q = kQualities.find(argv[++i]);
      if (q == kQualities.end()) {
        std::fprintf(stderr, "lumo-movie render: quality is low, medium, high or best\n");
        return 2;
      }
      quality = q->second;
    } else if (a == "--actionscript") {
      actionScript = true;
    } else if (!moviePath && a[0] != '-') {
      moviePath = argv[i];
    } else {
      std::fprintf(stderr, "lumo-movie render: unknown argument %s\n%s", a.c_str(), kRenderUsage);
      return 2;
    }
  }
  if (!moviePath || !outPath || frames < 0 || frames > 100000 || !(scale > 0 && scale <= 16)) {
    std::fprintf(stderr, "%s", kRenderUsage);
    return 2;
  }

  std::ifstream in(moviePath, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::optional<swf::MovieData> data = swf::readMovie(bytes.data(), bytes.size());
  if (!in || !data) {
    std::fprintf(stderr, "lumo-movie render: %s is no SWF movie\n", moviePath);
    return 1;
  }
  display::MoviePlayer player(std::make_shared<const swf::MovieData>(std::move(*data)));
  player.library().setDeviceFonts(std::make_shared<text::TrueTypeFonts>());
  SilentHost host;
  std::unique_ptr<avm1::Machine> machine;
  std::unique_ptr<clips::ClipStage> stage;
  if (actionScript && !player.movie().actionScript3) {
    machine = std::make_unique<avm1::Machine>(player.movie().version, host);
    stage = std::make_unique<clips::ClipStage>(player, *machine);
    stage->url = moviePath;
  }
  for (long f = 0; f < frames; ++f) {
    if (stage) stage->tick();
    else player.advance();
  }

  render::SoftwareRenderer renderer;
  renderer.setQuality(quality);
  player.renderStage(renderer, scale);
  const render::Frame& frame = renderer.frame();
  if (!writePng(outPath, frame.width, frame.height, straightRgba(frame))) {
    std::fprintf(stderr, "lumo-movie render: cannot write %s\n", outPath);
    return 1;
  }
  return 0;
}

}  // namespace tool
