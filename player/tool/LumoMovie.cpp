// lumo-movie: writes a SWF movie that the stand-in player plays, with a chosen version, stage
// size, frame rate, frame count, background colour, optional script and drawn scene, compressed
// or not; `render` draws a movie's stage to a PNG and `compare` judges one PNG against another.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "Commands.h"
#include "SceneText.h"
#include "SwfMovie.h"
#include "MovieWriter.h"

namespace {

const char kUsage[] =
    "usage: lumo-movie -o OUT.swf [--version N] [--size WxH] [--rate FPS] [--frames N]\n"
    "                  [--background RRGGBB] [--script FILE | --script-text TEXT] [--scene FILE]\n"
    "                  [--compress]\n"
    "       lumo-movie render MOVIE.swf --frames N -o OUT.png [--scale S] [--quality Q]\n"
    "       lumo-movie compare ACTUAL.png EXPECTED.png [--tolerance T] [--max-outliers N]\n"
    "       lumo-movie info MOVIE.swf\n";

bool readFile(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The movie with the scene's characters and frames; the script, when given, as its own tag.
bool sceneMovie(const movie::SwfMovie& m, const std::string& sceneText, std::vector<uint8_t>& bytes) {
  swf::MovieData data;
  data.version = m.version;
  data.compressed = m.compressed;
  data.frameRect = swf::Rect{m.xMin, m.xMax, m.yMin, m.yMax};
  data.frameRate = m.frameRate;
  if (m.background)
    data.background = swf::Rgba{static_cast<uint8_t>(*m.background >> 16), static_cast<uint8_t>(*m.background >> 8),
                                static_cast<uint8_t>(*m.background), 255};
  std::string error;
  if (!scene::readScene(sceneText, data, error)) {
    std::fprintf(stderr, "lumo-movie: scene %s\n", error.c_str());
    return false;
  }
  data.timeline.declaredFrameCount = std::max<uint16_t>(data.timeline.declaredFrameCount, m.frameCount);
  std::vector<swf::ExtraTag> extra;
  if (m.hasScript) extra.push_back({movie::kTagScript, std::vector<uint8_t>(m.script.begin(), m.script.end())});
  bytes = swf::writeMovie(data, extra);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "render") == 0) return tool::runRender(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "compare") == 0) return tool::runCompare(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "info") == 0) return tool::runInfo(argc, argv);
  movie::SwfMovie m;
  m.xMax = 550 * 20;
  m.yMax = 400 * 20;
  m.background = 0xFFFFFF;
  const char* out = nullptr;
  std::string sceneText;
  bool hasScene = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    auto need = [&]() {
      if (!v) {
        std::fprintf(stderr, "lumo-movie: %s needs a value\n%s", a.c_str(), kUsage);
        std::exit(2);
      }
      ++i;
      return v;
    };
    if (a == "-o") {
      out = need();
    } else if (a == "--version") {
      int version = std::atoi(need());
      if (version < 1 || version > 255) {
        std::fprintf(stderr, "lumo-movie: version must be 1 to 255\n");
        return 2;
      }
      m.version = static_cast<uint8_t>(version);
    } else if (a == "--size") {
      int w = 0, h = 0;
      if (std::sscanf(need(), "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || w > 8191 || h > 8191) {
        std::fprintf(stderr, "lumo-movie: size must be WxH in pixels\n");
        return 2;
      }
      m.xMax = w * 20;
      m.yMax = h * 20;
    } else if (a == "--rate") {
      m.frameRate = std::atof(need());
      if (m.frameRate <= 0 || m.frameRate >= 256) {
        std::fprintf(stderr, "lumo-movie: rate must be above 0 and below 256\n");
        return 2;
      }
    } else if (a == "--frames") {
      int frames = std::atoi(need());
      if (frames < 1 || frames > 65535) {
        std::fprintf(stderr, "lumo-movie: frames must be 1 to 65535\n");
        return 2;
      }
      m.frameCount = static_cast<uint16_t>(frames);
    } else if (a == "--background") {
      const char* text = need();
      if (text[0] == '#') ++text;
      char* end = nullptr;
      unsigned long c = std::strtoul(text, &end, 16);
      if (std::strlen(text) != 6 || *end) {
        std::fprintf(stderr, "lumo-movie: background must be RRGGBB\n");
        return 2;
      }
      m.background = static_cast<uint32_t>(c);
    } else if (a == "--script") {
      const char* path = need();
      if (!readFile(path, m.script)) {
        std::fprintf(stderr, "lumo-movie: cannot read %s\n", path);
        return 1;
      }
      m.hasScript = true;
    } else if (a == "--script-text") {
      m.script = need();
      m.hasScript = true;
    } else if (a == "--scene") {
      const char* path = need();
      if (!readFile(path, sceneText)) {
        std::fprintf(stderr, "lumo-movie: cannot read %s\n", path);
        return 1;
      }
      hasScene = true;
    } else if (a == "--compress") {
      m.compressed = true;
    } else {
      std::fprintf(stderr, "lumo-movie: unknown argument %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (!out) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  std::vector<uint8_t> bytes;
  if (!hasScene) {
    bytes = movie::writeSwf(m);
  } else if (!sceneMovie(m, sceneText, bytes)) {
    return 2;
  }
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  if (bytes.empty() || !file.write(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<std::streamsize>(bytes.size()))) {
    std::fprintf(stderr, "lumo-movie: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
