// Movies loaded into clips and levels (loadMovie, loadMovieNum, MovieClipLoader): each with
// its own characters, exports, fonts and frame scripts, fetched through the host and put in
// place on a later frame, with MovieClipLoader's events in the original player's order.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DisplayContext.h"
#include "Machine.h"
#include "SpriteObject.h"

namespace clips {

class ClipStage;
class ClipObject;

// One movie put into a clip or a level: its characters and the clips it runs.
struct LoadedMovie {
  std::shared_ptr<const swf::MovieData> data;
  std::unique_ptr<display::DisplayContext> context;
  std::shared_ptr<display::SpriteObject> root;
  std::string url;     // its _url
  size_t bytes = 0;    // getBytesLoaded/getBytesTotal
};

// What a file's bytes make: a SWF movie, or a picture (JPEG, PNG, GIF) as a one-frame movie
// holding it at depth 1; none for anything else. `version` is the picture movie's version.
std::shared_ptr<const swf::MovieData> movieOfFile(const std::vector<uint8_t>& bytes, uint8_t version);

class MovieLoads {
 public:
  // The host fetches `url` (relative to the movie) and answers with fetched(id, ...), now or
  // on a later frame; nothing set: every load fails.
  using Request = std::function<void(int id, const std::string& url)>;

  explicit MovieLoads(ClipStage& stage) : stage_(stage) {}
  // Takes the loaded movies off the lists they were put in: the root movie may be drawn after
  // the stage is gone, and their characters go with this.
  ~MovieLoads();
  MovieLoads(const MovieLoads&) = delete;
  MovieLoads& operator=(const MovieLoads&) = delete;

  void setRequest(Request request) { request_ = std::move(request); }
  void fetched(int id, std::optional<std::vector<uint8_t>> bytes);

  // A load into a clip (kept weakly: a clip gone by then takes nothing) or a level; events go
  // to `listener`'s broadcastMessage when given (a MovieClipLoader).
  void loadIntoClip(const std::string& url, const avm1::ObjectRef& clip, const avm1::ObjectRef& listener = nullptr);
  void loadIntoLevel(const std::string& url, int level, const avm1::ObjectRef& listener = nullptr);
  // Empties a clip at once (its children unload); a level goes with its clip.
  void unloadClip(const avm1::ObjectRef& clip);
  void unloadLevel(int level);

  // Once a frame, before the clips run theirs: arrived loads are put in place, each with
  // onLoadStart, onLoadProgress and onLoadComplete (or onLoadStart and onLoadError).
  void deliver();
  // The clips of loaded movies run their frames, the newest movie first (their first frame
  // with the frame they arrived in).
  void runFrames();
  // After the clips ran their frames: onLoadInit is queued behind their first frame's actions.
  void queueInits();
  // Draws the levels above 0 over the root, in level order.
  void renderLevels(render::Renderer& renderer, const swf::Matrix& view);
  // The loaded movie a clip shows, if it is the root of one.
  const LoadedMovie* movieOf(const display::DisplayObject& clip) const;
  // The loaded movie whose clips share `context`; none for the root movie's.
  const LoadedMovie* movieOfContext(const display::DisplayContext& context) const;
  // The root clip of a loaded level, if there is one.
  display::SpriteObject* levelRoot(int level) const;

 private:
  struct Pending {
    int id = 0;
    std::string url;
    std::weak_ptr<avm1::Object> clip;  // the target clip, or:
    int level = -1;
    avm1::ObjectRef listener;
    bool started = false, arrived = false;
    std::optional<std::vector<uint8_t>> bytes;
  };
  void start(Pending pending);
  void broadcast(const avm1::ObjectRef& listener, const char* event, const avm1::Args& args);
  // Puts the movie in the clip's place (or the level's) and gives back its script object.
  avm1::ObjectRef install(const Pending& load, std::shared_ptr<const swf::MovieData> movie, size_t bytes);
  std::shared_ptr<LoadedMovie> makeMovie(std::shared_ptr<const swf::MovieData> movie, const std::string& url, size_t bytes);
  // A load clears what scripts set on the clip; an unload keeps it.
  void replaceClip(ClipObject& clip, std::shared_ptr<LoadedMovie> movie, bool clearProperties);

  struct Init {
    avm1::ObjectRef clip, listener;
  };

  ClipStage& stage_;
  Request request_;
  int nextId_ = 1;
  std::vector<Pending> pending_;
  // Oldest first. A movie that left the list stays (not run) as long as the stage: the stage
  // knows code and init actions by the addresses of its bytes and its context.
  std::vector<std::shared_ptr<LoadedMovie>> movies_;
  std::map<int, std::shared_ptr<LoadedMovie>> levels_;
  std::vector<Init> inits_;  // loads put in place this frame that a listener waits on
};

}  // namespace clips
