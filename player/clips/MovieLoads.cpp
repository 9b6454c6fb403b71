// Loading movies into clips and levels: fetch, put in place on the next frame, events.
#include "MovieLoads.h"

#include <algorithm>
#include <cmath>

#include "ClipObject.h"
#include "ClipStage.h"
#include "ImageDecoder.h"
#include "JpegData.h"
#include "MovieReader.h"
#include "PlaceRecords.h"

namespace clips {

namespace {

using avm1::Value;

constexpr char kNotFound[] = "URLNotFound";

std::shared_ptr<swf::MovieData> emptyMovie(uint8_t version) {
  auto movie = std::make_shared<swf::MovieData>();
  movie->version = version;
  movie->timeline.declaredFrameCount = 1;
  movie->timeline.frames.resize(1);
  return movie;
}

// A picture as a one-frame movie holding it at depth 1, its stage the picture's size.
std::shared_ptr<const swf::MovieData> pictureMovie(const std::vector<uint8_t>& bytes, uint8_t version) {
  std::optional<swf::DecodedImage> image = swf::decodeImage(bytes.data(), bytes.size());
  if (!image) return nullptr;
  swf::Bitmap bitmap;
  bitmap.id = 1;
  bitmap.width = image->width;
  bitmap.height = image->height;
  bitmap.rgba = std::move(image->rgba);
  for (size_t i = 0; i + 3 < bitmap.rgba.size(); i += 4) {  // the renderer's bitmaps are premultiplied
    const unsigned a = bitmap.rgba[i + 3];
    for (size_t c = 0; c < 3; ++c) bitmap.rgba[i + c] = uint8_t((bitmap.rgba[i + c] * a + 127) / 255);
  }
  auto movie = emptyMovie(version);
  movie->frameRect = swf::Rect{0, int32_t(bitmap.width * 20), 0, int32_t(bitmap.height * 20)};
  movie->characters[1] = std::make_shared<const swf::Character>(std::move(bitmap));
  swf::PlaceObject place;
  place.version = 2;
  place.depth = 1;
  place.characterId = 1;
  movie->timeline.frames[0].tags.push_back(place);
  return movie;
}

display::SpriteObject* spriteOf(const avm1::ObjectRef& clip) {
  ClipObject* object = asClip(Value(clip));
  return object ? object->sprite() : nullptr;
}

}  // namespace

std::shared_ptr<const swf::MovieData> movieOfFile(const std::vector<uint8_t>& bytes, uint8_t version) {
  const bool swf = bytes.size() >= 8 && (bytes[0] == 'F' || bytes[0] == 'C') && bytes[1] == 'W' && bytes[2] == 'S';
  if (swf) {
    std::optional<swf::MovieData> data = swf::readMovie(bytes.data(), bytes.size());
    return data ? std::make_shared<const swf::MovieData>(std::move(*data)) : nullptr;
  }
  if (swf::imageFormatOf(bytes.data(), bytes.size()) != swf::ImageFormat::Unknown) return pictureMovie(bytes, version);
  return nullptr;
}

MovieLoads::~MovieLoads() {
  for (const auto& movie : movies_) movie->context->setScriptHooks(nullptr);
  for (auto it = movies_.rbegin(); it != movies_.rend(); ++it)
    if (display::SpriteObject* parent = (*it)->root->parent()) parent->removeAt((*it)->root->depth());
}

void MovieLoads::loadIntoClip(const std::string& url, const avm1::ObjectRef& clip, const avm1::ObjectRef& listener) {
  display::SpriteObject* sprite = spriteOf(clip);
  if (!sprite) return;
  if (!sprite->parent()) {  // a level's root
    for (const auto& [n, movie] : levels_)
      if (movie->root.get() == sprite) return loadIntoLevel(url, n, listener);
    if (sprite == &stage_.player().root()) loadIntoLevel(url, 0, listener);
    return;
  }
  Pending load;
  load.url = url;
  load.clip = clip;
  load.listener = listener;
  start(std::move(load));
}

// _level0 is the host's: a movie there replaces the whole movie.
void MovieLoads::loadIntoLevel(const std::string& url, int level, const avm1::ObjectRef& listener) {
  if (level < 0) return;
  if (level == 0) {
    stage_.machine().host().getUrl(url, "_level0");
    return;
  }
  Pending load;
  load.url = url;
  load.level = level;
  load.listener = listener;
  start(std::move(load));
}

void MovieLoads::start(Pending load) {
  load.id = nextId_++;
  const int id = load.id;
  const std::string url = load.url;
  pending_.push_back(std::move(load));
  if (request_) request_(id, url);
  else fetched(id, std::nullopt);
}

void MovieLoads::fetched(int id, std::optional<std::vector<uint8_t>> bytes) {
  for (Pending& p : pending_)
    if (p.id == id && !p.arrived) {
      p.arrived = true;
      p.bytes = std::move(bytes);
    }
}

void MovieLoads::broadcast(const avm1::ObjectRef& listener, const char* event, const avm1::Args& args) {
  if (!listener) return;
  avm1::Machine& m = stage_.machine();
  avm1::Args all{Value(event)};
  all.insert(all.end(), args.begin(), args.end());
  m.runScript([&] { m.callMethod(Value(listener), "broadcastMessage", all); });
}

void MovieLoads::unloadClip(const avm1::ObjectRef& clip) {
  display::SpriteObject* sprite = spriteOf(clip);
  if (!sprite) return;
  if (!sprite->parent()) {
    for (const auto& [n, movie] : levels_)
      if (movie->root.get() == sprite) return unloadLevel(n);
    if (sprite == &stage_.player().root()) stage_.machine().host().getUrl("", "_level0");
    return;
  }
  std::erase_if(pending_, [&](const Pending& p) { return p.clip.lock() == clip; });  // a load under way stops
  const LoadedMovie* own = movieOf(*sprite);
  const uint8_t version = own ? own->data->version : sprite->context().library().movie().version;
  replaceClip(*asClip(Value(clip)), makeMovie(emptyMovie(version), own ? own->url : stage_.url, 0), false);
}

void MovieLoads::unloadLevel(int level) {
  std::erase_if(pending_, [&](const Pending& p) { return p.level == level; });
  auto it = levels_.find(level);
  if (it == levels_.end()) {
    if (level == 0) stage_.machine().host().getUrl("", "_level0");
    return;
  }
  display::SpriteObject& root = *it->second->root;
  stage_.instanceRemoving(root);
  root.markRemoved();
  levels_.erase(it);
  stage_.machine().unloadLevel(level);
}

std::shared_ptr<LoadedMovie> MovieLoads::makeMovie(std::shared_ptr<const swf::MovieData> data, const std::string& url,
                                                   size_t bytes) {
  auto movie = std::make_shared<LoadedMovie>();
  movie->data = std::move(data);
  movie->context = std::make_unique<display::DisplayContext>(movie->data);
  display::DisplayContext& root = stage_.player().context();
  movie->context->setScriptHooks(root.scriptHooks());
  // The root's sounds know only the root's characters: a loaded movie stays silent for now.
  movie->context->setSounds(nullptr);
  movie->context->library().setDeviceFonts(root.library().sharedDeviceFonts());
  movie->root = std::make_shared<display::SpriteObject>(*movie->context, movie->data->timeline, 0);
  movie->context->addToExecution(movie->root);
  movie->url = url;
  movie->bytes = bytes;
  movies_.push_back(movie);
  return movie;
}

// The clip keeps its name, depth, transform and clip actions; what scripts set on it and its
// children go (they unload), and it runs the movie's first frame with the next frame.
void MovieLoads::replaceClip(ClipObject& clip, std::shared_ptr<LoadedMovie> movie, bool clearProperties) {
  display::DisplayObject* old = clip.display();
  display::SpriteObject* parent = old ? old->parent() : nullptr;
  if (!parent) return;
  avm1::Machine& m = stage_.machine();
  stage_.queueEvent(clip, swf::clip_event::kUnload, "onUnload");
  std::vector<std::string> names;
  for (avm1::Property* p : clip.ownProperties())
    if (clearProperties && !(p->flags & avm1::kDontDelete)) names.push_back(p->name);
  for (const std::string& name : names) clip.remove(m, name);
  display::SpriteObject& root = *movie->root;
  root.setMatrix(old->matrix());
  root.setColorTransform(old->colorTransform());
  root.setClipActions(old->clipActions());
  root.setVisible(old->visible());
  auto link = old->scriptLink;
  old->scriptLink.reset();  // the clip goes on with the new movie
  root.scriptLink = link;
  clip.relink(&root);
  const std::string name = old->name();
  parent->attach(movie->root, old->depth(), name, false);
}

avm1::ObjectRef MovieLoads::install(const Pending& load, std::shared_ptr<const swf::MovieData> data, size_t bytes) {
  if (load.level < 0) {
    avm1::ObjectRef clip = load.clip.lock();
    ClipObject* object = asClip(Value(clip));
    if (!object || !object->sprite()) return nullptr;
    replaceClip(*object, makeMovie(std::move(data), load.url, bytes), true);
    return clip;
  }
  std::shared_ptr<LoadedMovie> movie = makeMovie(std::move(data), load.url, bytes);
  avm1::Machine& m = stage_.machine();
  avm1::ObjectRef clip;
  if (auto it = levels_.find(load.level); it != levels_.end()) {
    display::SpriteObject& old = *it->second->root;
    clip = scriptObjectOf(stage_, old);
    if (auto* object = asClip(Value(clip))) stage_.queueEvent(*object, swf::clip_event::kUnload, nullptr);
    old.scriptLink.reset();
    stage_.instanceRemoving(old);
    old.markRemoved();
  }
  auto* object = asClip(Value(clip));
  if (object) {
    std::vector<std::string> names;
    for (avm1::Property* p : object->ownProperties())
      if (!(p->flags & avm1::kDontDelete) && p->name != "_parent") names.push_back(p->name);
    for (const std::string& name : names) object->remove(m, name);
    movie->root->scriptLink = std::dynamic_pointer_cast<display::ScriptLink>(clip);
    object->relink(movie->root.get());
  } else {
    clip = scriptObjectOf(stage_, *movie->root);
    clip->clipPath = "_level" + std::to_string(load.level);
    clip->define(m, "_parent", Value(), avm1::kDontEnum);
    m.setLevel(load.level, clip);
  }
  levels_[load.level] = movie;
  return clip;
}

// Loads that arrived are put in place in the order they were asked for, each with onLoadStart,
// onLoadProgress and onLoadComplete; a missing file gives onLoadError and leaves the target.
void MovieLoads::deliver() {
  std::vector<Pending> due;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->arrived) {
      due.push_back(std::move(*it));
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  for (Pending& load : due) {
    avm1::ObjectRef target = load.level >= 0 ? stage_.machine().existingLevel(load.level) : load.clip.lock();
    if (!target && load.level < 0) continue;  // the clip went
    if (!load.bytes) {
      const Value on = target ? Value(target) : Value();
      broadcast(load.listener, "onLoadStart", {on});
      broadcast(load.listener, "onLoadError", {on, Value(kNotFound), Value(0)});
      continue;
    }
    uint8_t version = uint8_t(stage_.machine().rules().version());
    if (display::SpriteObject* s = target ? spriteOf(target) : nullptr) version = s->context().library().movie().version;
    std::shared_ptr<const swf::MovieData> movie = movieOfFile(*load.bytes, version);
    const size_t size = movie ? load.bytes->size() : 0;  // unreadable data loads as an empty movie
    if (!movie) movie = emptyMovie(version);
    avm1::ObjectRef clip = install(load, movie, size);
    if (!clip) continue;
    broadcast(load.listener, "onLoadStart", {Value(clip)});
    broadcast(load.listener, "onLoadProgress", {Value(clip), Value(double(size)), Value(double(size))});
    broadcast(load.listener, "onLoadComplete", {Value(clip), Value(0)});
    if (load.listener) inits_.push_back({clip, load.listener});
  }
}

void MovieLoads::runFrames() {
  for (size_t i = movies_.size(); i-- > 0;) {
    std::shared_ptr<LoadedMovie> movie = movies_[i];
    if (!movie->root->removed()) movie->context->runFrames();
  }
}

// onLoadInit follows the loaded movie's first frame actions, the newest load first.
void MovieLoads::queueInits() {
  std::vector<Init> inits = std::move(inits_);
  inits_.clear();
  for (auto it = inits.rbegin(); it != inits.rend(); ++it) {
    avm1::ObjectRef clip = it->clip, listener = it->listener;
    stage_.queueTask(clip, [this, clip, listener] { broadcast(listener, "onLoadInit", {Value(clip)}); });
  }
}

void MovieLoads::renderLevels(render::Renderer& renderer, const swf::Matrix& view) {
  display::RenderContext context{renderer, stage_.player().library()};
  context.stageScale = std::hypot(view.a, view.b) * 20;
  for (const auto& [n, movie] : levels_)
    if (!movie->root->removed()) movie->root->render(context, view, swf::ColorTransform{});
}

const LoadedMovie* MovieLoads::movieOf(const display::DisplayObject& clip) const {
  for (const auto& movie : movies_)
    if (movie->root.get() == &clip) return movie.get();
  return nullptr;
}

const LoadedMovie* MovieLoads::movieOfContext(const display::DisplayContext& context) const {
  for (const auto& movie : movies_)
    if (movie->context.get() == &context) return movie.get();
  return nullptr;
}

display::SpriteObject* MovieLoads::levelRoot(int level) const {
  auto it = levels_.find(level);
  return it == levels_.end() ? nullptr : it->second->root.get();
}

}  // namespace clips
