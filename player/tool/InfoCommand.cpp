// lumo-movie info: one line about a movie, for scripts that choose movies: its version, whether
// it is ActionScript 3, its frame count and stage size.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "../swf/MovieReader.h"
#include "Commands.h"

namespace tool {

int runInfo(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lumo-movie info MOVIE.swf\n");
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::optional<swf::MovieData> movie = swf::readMovie(bytes.data(), bytes.size());
  if (!movie) {
    std::fprintf(stderr, "lumo-movie info: %s is no SWF movie\n", argv[2]);
    return 1;
  }
  const swf::Rect& r = movie->frameRect;
  std::printf("version %u as3 %s frames %zu size %dx%d\n", movie->version, movie->actionScript3 ? "yes" : "no",
              movie->timeline.frames.size(), (r.xMax - r.xMin) / 20, (r.yMax - r.yMin) / 20);
  return 0;
}

}  // namespace tool
