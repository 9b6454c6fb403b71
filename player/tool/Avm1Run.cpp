// lumo-avm1: plays a SWF's AVM1 code without a window and prints its trace lines, for the
// interpreter's tests and for comparing it with other players over their test movies.
//   lumo-avm1 [--frames N] MOVIE.swf
#include "ClipStage.h"
#include "Machine.h"
#include "MovieReader.h"
#include "MoviePlayer.h"
#include "SwfMovie.h"
#include "TimelineRunner.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

class PrintingHost : public avm1::Host {
 public:
  // The player's trace log ends a line at each carriage return too.
  void trace(const std::string& line) override {
    std::string text = line;
    for (char& c : text)
      if (c == '\r') c = '\n';
    std::cout << text << "\n";
  }
  void getUrl(const std::string& url, const std::string& target) override {
    std::cerr << "getURL " << url << " " << target << "\n";
  }
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return avm1::Value::null(); }
};

}  // namespace

int main(int argc, char** argv) {
  int frames = 1;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) frames = std::atoi(argv[++i]);
    else path = argv[i];
  }
  if (!path) {
    std::cerr << "usage: lumo-avm1 [--frames N] MOVIE.swf\n";
    return 2;
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string error;
  auto movie = movie::parseSwf(bytes.data(), bytes.size(), &error);
  if (!movie) {
    std::cerr << "lumo-avm1: " << path << ": " << error << "\n";
    return 1;
  }
  if (movie->actionScript3) {
    std::cerr << "lumo-avm1: " << path << ": an ActionScript 3 movie\n";
    return 1;
  }
  PrintingHost host;
  avm1::Machine machine(movie->version, host);
  machine.setScriptLimit(std::chrono::seconds(movie->scriptTimeoutSeconds));
  // The movie plays on its display list, its clips bound to the machine; a movie the tag
  // reader refuses still runs its main timeline's code.
  if (auto data = swf::readMovie(bytes.data(), bytes.size())) {
    display::MoviePlayer player(std::make_shared<const swf::MovieData>(std::move(*data)));
    clips::ClipStage stage(player, machine);
    stage.url = path;
    for (int i = 0; i < frames; ++i) stage.tick();
    return 0;
  }
  std::vector<avm1::FrameCode> code;
  for (auto& block : movie->actions)
    code.push_back({block.frame, block.init,
                    std::make_shared<avm1::Code>(avm1::Code{std::move(block.bytes), movie->version})});
  avm1::TimelineRunner timeline(machine, std::move(code), movie->frameCount, movie->frameRate);
  for (int i = 0; i < frames; ++i) timeline.enterFrame();
  return 0;
}
