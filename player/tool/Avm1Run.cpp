// lumo-avm1: plays a SWF's AVM1 code without a window and prints its trace lines, for the
// interpreter's tests and for comparing it with other players over their test movies.
//   lumo-avm1 [--frames N] [--viewport WIDTHxHEIGHT] MOVIE.swf
#include "ClipStage.h"
#include "Machine.h"
#include "MovieSoundBridge.h"
#include "globals/Globals.h"
#include "MovieReader.h"
#include "MoviePlayer.h"
#include "SwfMovie.h"
#include "TimelineRunner.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

std::optional<std::vector<uint8_t>> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The movie's sounds with no device: each frame mixes (and drops) a frame's worth of audio,
// so positions advance, sounds end and onSoundComplete runs in step with the frames.
struct SilentSound {
  SilentSound(std::shared_ptr<const swf::MovieData> movie, display::MoviePlayer& player, avm1::Machine& machine,
              const std::filesystem::path& moviePath)
      : sounds(movie, mixer), bridge([this] { return &sounds; }, mixer), frameRate(movie->frameRate) {
    player.attachSounds(&sounds);
    machine.setSoundBridge(&bridge);
    // loadSound reads files beside the movie; other URLs fail.
    const std::filesystem::path folder = moviePath.parent_path();
    bridge.setRequest([this, folder](int id, const std::string& url) {
      const bool relative = url.find(':') == std::string::npos && !url.empty() && url[0] != '/';
      bridge.loaded(id, relative ? readFile(folder / url) : std::nullopt);
    });
  }
  void afterFrame(avm1::Machine& machine) {
    due += sound::Mixer::kRate / (frameRate > 0 ? frameRate : 12);
    const size_t frames = static_cast<size_t>(due);
    due -= double(frames);
    std::vector<int16_t> out(frames * 2);
    mixer.mix(out.data(), frames);
    sounds.takeNotes();
    for (sound::VoiceId voice : sounds.takeEnded()) avm1::soundCompleted(machine, voice);
    bridge.deliverLoads(machine);
  }
  sound::Mixer mixer;
  sound::MovieSounds sounds;
  clips::MovieSoundBridge bridge;
  double frameRate;
  double due = 0;
};

}  // namespace

int main(int argc, char** argv) {
  int frames = 1;
  int viewWidth = 0, viewHeight = 0;  // the area the movie is shown in; its own size by default
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) frames = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--viewport") && i + 1 < argc) std::sscanf(argv[++i], "%dx%d", &viewWidth, &viewHeight);
    else path = argv[i];
  }
  if (!path) {
    std::cerr << "usage: lumo-avm1 [--frames N] [--viewport WIDTHxHEIGHT] MOVIE.swf\n";
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
    auto movieData = std::make_shared<const swf::MovieData>(std::move(*data));
    display::MoviePlayer player(movieData);
    SilentSound silent(movieData, player, machine, path);
    clips::ClipStage stage(player, machine);
    stage.url = path;
    if (viewWidth > 0 && viewHeight > 0) stage.input().resized(viewWidth, viewHeight);
    // loadMovie and MovieClipLoader read files beside the movie; other URLs fail.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    stage.loads().setRequest([&stage, folder](int id, const std::string& url) {
      const bool relative = url.find(':') == std::string::npos && !url.empty() && url[0] != '/';
      stage.loads().fetched(id, relative ? readFile(folder / url) : std::nullopt);
    });
    for (int i = 0; i < frames; ++i) {
      stage.tick();
      silent.afterFrame(machine);
    }
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
