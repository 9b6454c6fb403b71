// Fuzzes the stand-in player's SWF container reader and the script text of the movies it
// accepts.
#include "ScriptText.h"
#include "SwfMovie.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto movie = movie::parseSwf(data, size);
  if (!movie) return 0;
  (void)movie::parseScript(movie->script);
  (void)movie->widthPixels();
  (void)movie->heightPixels();
  return 0;
}
