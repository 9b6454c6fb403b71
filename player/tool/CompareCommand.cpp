// lumo-movie compare: judges a rendered PNG against a reference as the reference suites do:
// a channel differing by more than the tolerance is an outlier; the images match while the
// outliers are at most the allowed number.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "Commands.h"
#include "../swf/ImageDecoder.h"

namespace tool {

namespace {

const char kCompareUsage[] = "usage: lumo-movie compare ACTUAL.png EXPECTED.png [--tolerance T] [--max-outliers N]\n";

std::optional<swf::DecodedImage> readImage(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) return std::nullopt;
  return swf::decodeImage(bytes.data(), bytes.size());
}

}  // namespace

int runCompare(int argc, char** argv) {
  const char* paths[2] = {nullptr, nullptr};
  long tolerance = 0, maxOutliers = 0;
  int given = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--tolerance" || a == "--max-outliers") && i + 1 < argc) {
      (a == "--tolerance" ? tolerance : maxOutliers) = std::strtol(argv[++i], nullptr, 10);
    } else if (a[0] != '-' && given < 2) {
      paths[given++] = argv[i];
    } else {
      std::fprintf(stderr, "%s", kCompareUsage);
      return 2;
    }
  }
  if (given != 2) {
    std::fprintf(stderr, "%s", kCompareUsage);
    return 2;
  }
  std::optional<swf::DecodedImage> actual = readImage(paths[0]), expected = readImage(paths[1]);
  if (!actual || !expected) {
    std::fprintf(stderr, "lumo-movie compare: cannot read %s\n", !actual ? paths[0] : paths[1]);
    return 2;
  }
  if (actual->width != expected->width || actual->height != expected->height) {
    std::printf("size %ux%u, expected %ux%u\n", actual->width, actual->height, expected->width, expected->height);
    return 1;
  }
  size_t outliers = 0, pixelsOff = 0;
  for (size_t i = 0; i < actual->rgba.size(); i += 4) {
    int off = 0;
    for (size_t c = 0; c < 4; ++c) off += std::abs(int(actual->rgba[i + c]) - int(expected->rgba[i + c])) > tolerance;
    outliers += size_t(off);
    pixelsOff += off > 0;
  }
  if (outliers <= size_t(std::max(0L, maxOutliers))) {
    std::printf("match\n");
    return 0;
  }
  const size_t pixels = actual->rgba.size() / 4;
  std::printf("%.2f%% of pixels outside tolerance %ld (%zu values, %ld allowed)\n",
              pixels ? 100.0 * double(pixelsOff) / double(pixels) : 0.0, tolerance, outliers, maxOutliers);
  return 1;
}

}  // namespace tool
