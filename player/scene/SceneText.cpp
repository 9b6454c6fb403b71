// Reading the scene text: one command a line (the movie script's tokens), definitions kept as
// characters, timeline commands gathered into frames; a bad line stops with its number.
#include "SceneText.h"

#include "SceneButtons.h"
#include "SceneFields.h"
#include "SceneFonts.h"
#include "SceneShapes.h"
#include "SoundRecords.h"
#include "TagCodes.h"
#include "ToneMaker.h"
#include "ScriptText.h"
#include "TagCodes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace scene {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct SceneError {
  std::string why;
};

[[noreturn]] void fail(std::string why) { throw SceneError{std::move(why)}; }

// The tokens of one line, read front to back.
class Cursor {
 public:
  explicit Cursor(const std::vector<std::string>& tokens) : tokens_(tokens) {}
  bool more() const { return at_ < tokens_.size(); }
  const std::string& peek() const {
    static const std::string none;
    return more() ? tokens_[at_] : none;
  }
  std::string word(const char* what) {
    if (!more()) fail(std::string("missing ") + what);
    return tokens_[at_++];
  }
  double number(const char* what) {
    std::string t = word(what);
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (t.empty() || *end || !std::isfinite(v)) fail(std::string("bad ") + what + " '" + t + "'");
    return v;
  }
  long integer(const char* what, long low, long high) {
    double v = number(what);
    if (v != std::floor(v) || v < low || v > high)
      fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<long>(v);
  }
  bool isNumber() const {
    if (!more()) return false;
    char* end = nullptr;
    std::strtod(peek().c_str(), &end);
    return !peek().empty() && !*end;
  }

 private:
  const std::vector<std::string>& tokens_;
  size_t at_ = 1;  // after the command
};

bool hexDigits(const std::string& t, size_t from) {
  for (size_t i = from; i < t.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(t[i]))) return false;
  return true;
}

// RRGGBB or RRGGBBAA, '#' allowed in front.
swf::Rgba color(const std::string& token) {
  size_t from = !token.empty() && token[0] == '#' ? 1 : 0;
  size_t digits = token.size() - from;
  if ((digits != 6 && digits != 8) || !hexDigits(token, from)) fail("bad colour '" + token + "' (RRGGBB or RRGGBBAA)");
  unsigned long v = std::strtoul(token.c_str() + from, nullptr, 16);
  if (digits == 6) v = (v << 8) | 0xFF;
  return swf::Rgba{static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                   static_cast<uint8_t>(v)};
}

std::vector<PathStep> geometry(Cursor& c) {
  std::string kind = c.word("geometry");
  if (kind == "rect") {
    double x = c.number("x"), y = c.number("y"), w = c.number("width"), h = c.number("height");
    return rectPath(x, y, w, h);
  }
  if (kind == "ellipse") {
    double x = c.number("centre x"), y = c.number("centre y"), rx = c.number("radius x"), ry = c.number("radius y");
    return ellipsePath(x, y, rx, ry);
  }
  if (kind != "path") fail("unknown geometry '" + kind + "' (rect, ellipse, path)");
  std::vector<PathStep> path;
  while (c.more() && (c.peek() == "M" || c.peek() == "L" || c.peek() == "Q" || c.peek() == "Z")) {
    std::string step = c.word("step");
    if (step == "Z") {
      path.push_back({PathStep::Close});
      continue;
    }
    if (path.empty() && step != "M") fail("a path starts with M");
    PathStep s{step == "M" ? PathStep::Move : step == "L" ? PathStep::Line : PathStep::Curve};
    if (s.kind == PathStep::Curve) {
      s.cx = c.number("control x");
      s.cy = c.number("control y");
    }
    s.x = c.number("x");
    s.y = c.number("y");
    path.push_back(s);
  }
  if (path.empty()) fail("empty path");
  return path;
}

class SceneReader {
 public:
  explicit SceneReader(swf::MovieData& movie) : movie_(movie) {}

  void read(std::string_view text) {
    std::vector<movie::ScriptLine> lines = movie::parseScript(text);
    Timeline main{movie_.timeline, {}};
    Timeline* current = &main;
    swf::Sprite sprite;
    std::optional<Timeline> spriteTimeline;
    std::optional<SceneButton> button;
    for (const movie::ScriptLine& line : lines) {
      line_ = line.number;
      Cursor c(line.tokens);
      const std::string& command = line.tokens[0];
      if (button) {
        buttonLine(command, c, button);
      } else if (command == "button") {
        if (spriteTimeline) fail("define buttons outside sprites");
        button.emplace();
        button->id = newId(c);
        if (c.peek() == "menu") button->menu = c.word("menu") == "menu";
      } else if (command == "field") {
        if (spriteTimeline) fail("define fields outside sprites");
        field(c);
      } else if (command == "sprite") {
        if (spriteTimeline) fail("sprites do not nest: 'end' the one before");
        sprite = swf::Sprite{};
        sprite.id = newId(c);
        spriteTimeline.emplace(Timeline{sprite.timeline, {}});
        current = &*spriteTimeline;
      } else if (command == "end") {
        if (!spriteTimeline) fail("'end' without 'sprite'");
        spriteTimeline->finish();
        spriteTimeline.reset();
        sprite.timeline.declaredFrameCount = static_cast<uint16_t>(sprite.timeline.frames.size());
        define(sprite.id, sprite);
        current = &main;
      } else if (command == "shape") {
        if (spriteTimeline) fail("define shapes outside sprites");
        shape(c);
      } else if (command == "bitmap") {
        if (spriteTimeline) fail("define bitmaps outside sprites");
        bitmap(c);
      } else if (command == "tone") {
        if (spriteTimeline) fail("define tones outside sprites");
        tone(c);
      } else if (command == "export") {  // export ID NAME: the linkage name scripts attach by
        const swf::CharacterId id = knownId(c);
        movie_.exports.push_back({id, c.word("export name")});
      } else if (command == "font" || command == "text" || command == "edittext") {
        if (spriteTimeline) fail("define fonts and texts outside sprites");
        if (command == "font") font(c);
        else if (command == "text") staticTextCommand(c);
        else editTextCommand(c);
      } else {
        timelineCommand(command, c, *current);
      }
      if (c.more()) fail("unexpected '" + c.peek() + "'");
    }
    if (spriteTimeline) fail("sprite " + std::to_string(sprite.id) + " has no 'end'");
    if (button) fail("button " + std::to_string(button->id) + " has no 'end'");
    main.finish();
    movie_.timeline.declaredFrameCount = static_cast<uint16_t>(movie_.timeline.frames.size());
  }

  int line() const { return line_; }

 private:
  // Frame tags gather until `frame`; tags after the last `frame` make a last frame.
  struct Timeline {
    swf::Timeline& timeline;
    swf::Frame pending;
    void show() {
      timeline.frames.push_back(std::move(pending));
      pending = {};
    }
    void finish() {
      if (!pending.tags.empty()) show();
    }
  };

  struct SceneButton {
    swf::CharacterId id = 0;
    bool menu = false;
    std::vector<ButtonStateRecord> records;
    std::vector<ButtonConditionAction> actions;
  };

  // Inside `button ID [menu]` .. `end`: `state STATES ID depth D [at X Y]` and `on CONDITIONS HEX...`.
  void buttonLine(const std::string& command, Cursor& c, std::optional<SceneButton>& button) {
    if (command == "state") {
      ButtonStateRecord r;
      r.states = buttonStates(c.word("states"));
      if (!r.states) fail("bad button states (up, over, down, hit joined by commas)");
      r.characterId = knownId(c);
      r.depth = depth(c);
      if (c.peek() == "at") {
        c.word("at");
        r.matrix.tx = c.number("x") * 20;
        r.matrix.ty = c.number("y") * 20;
      }
      button->records.push_back(r);
    } else if (command == "on") {
      ButtonConditionAction a;
      const int conditions = buttonConditions(c.word("conditions"));
      if (conditions <= 0) fail("bad button conditions (press, release, rollover, ..., key:N joined by commas)");
      a.conditions = static_cast<uint16_t>(conditions);
      while (c.more()) {
        std::string hex = c.word("byte");
        if (hex.size() % 2 || !hexDigits(hex, 0)) fail("bad action bytes '" + hex + "' (hex)");
        for (size_t i = 0; i < hex.size(); i += 2)
          a.bytes.push_back(static_cast<uint8_t>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
      }
      button->actions.push_back(std::move(a));
    } else if (command == "end") {
      swf::RawCharacter raw{button->id, swf::tag::kDefineButton2,
                          buttonBody(button->id, button->menu, button->records, button->actions), {}};
      define(button->id, std::move(raw));
      button.reset();
    } else {
      fail("unknown button command '" + command + "' (state, on, end)");
    }
  }

  // font ID NAME: a system font by name (_sans, _serif, _typewriter or a family), no glyphs.
  // field ID X Y W H [font ID] [size PX] [color RRGGBB] [var NAME] [text TEXT] [password]
  // [readonly] [border] [multiline] [noselect]: a DefineEditText, its box in its own pixels.
  void field(Cursor& c) {
    FieldSpec f;
    f.id = newId(c);
    const double x = c.number("x"), y = c.number("y"), w = c.number("width"), h = c.number("height");
    f.bounds = swf::Rect{int32_t(x * 20), int32_t((x + w) * 20), int32_t(y * 20), int32_t((y + h) * 20)};
    while (c.more()) {
      const std::string option = c.word("field option");
      if (option == "font") f.fontId = knownId(c);
      else if (option == "size") f.height = static_cast<uint16_t>(c.integer("size", 1, 3000) * 20);
      else if (option == "color") f.color = color(c.word("colour"));
      else if (option == "var") f.variable = c.word("variable");
      else if (option == "text") f.text = c.word("text");
      else if (option == "password") f.password = true;
      else if (option == "readonly") f.readOnly = true;
      else if (option == "border") f.border = true;
      else if (option == "multiline") f.multiline = true;
      else if (option == "noselect") f.noSelect = true;
      else fail("unknown field option '" + option + "' (font, size, color, var, text, password, readonly, border, multiline, noselect)");
    }
    std::vector<swf::CharacterId> uses;
    if (f.fontId) uses.push_back(f.fontId);
    define(f.id, swf::RawCharacter{f.id, swf::tag::kDefineEditText, editTextBody(f), uses});
  }

  swf::CharacterId newId(Cursor& c) {
    long id = c.integer("character id", 1, 65534);
    if (movie_.characters.count(static_cast<swf::CharacterId>(id))) fail("character " + std::to_string(id) + " is defined twice");
    return static_cast<swf::CharacterId>(id);
  }

  swf::CharacterId knownId(Cursor& c) {
    long id = c.integer("character id", 1, 65534);
    if (!movie_.characters.count(static_cast<swf::CharacterId>(id))) fail("character " + std::to_string(id) + " is not defined yet");
    return static_cast<swf::CharacterId>(id);
  }

  template <typename T>
  void define(swf::CharacterId id, T value) {
    movie_.characters[id] = std::make_shared<const swf::Character>(std::move(value));
  }

  // tone ID pcm|pcm-le|adpcm RATE 8|16 mono|stereo HZ MS AMPLITUDE: a DefineSound of a sine.
  void tone(Cursor& c) {
    const swf::CharacterId id = newId(c);
    static const std::map<std::string, swf::SoundCodec> codecs{
        {"pcm", swf::SoundCodec::PcmNative}, {"pcm-le", swf::SoundCodec::PcmLittle}, {"adpcm", swf::SoundCodec::Adpcm}};
    auto codec = codecs.find(c.word("codec"));
    if (codec == codecs.end()) fail("a tone's codec is pcm, pcm-le or adpcm");
    swf::SoundFormat format;
    format.codec = codec->second;
    format.rate = static_cast<uint32_t>(c.integer("rate", 5512, 44100));
    if (format.rate != 5512 && format.rate != 11025 && format.rate != 22050 && format.rate != 44100)
      fail("a tone's rate is 5512, 11025, 22050 or 44100");
    format.sixteenBit = c.integer("bits", 8, 16) == 16;
    const std::string channels = c.word("channels");
    if (channels != "mono" && channels != "stereo") fail("a tone is mono or stereo");
    format.stereo = channels == "stereo";
    const double hz = c.number("frequency");
    const auto frames = static_cast<size_t>(c.integer("milliseconds", 1, 600000) * format.rate / 1000);
    const double amplitude = static_cast<double>(c.integer("amplitude", 0, 32767));
    const sound::Samples samples = sound::sineTone(format.rate, format.stereo ? 2 : 1, hz, amplitude, frames);
    define(id, swf::RawCharacter{id, swf::tag::kDefineSound,
                                 sound::defineSoundBody(id, format, static_cast<uint32_t>(frames),
                                                        *sound::encodeSoundData(samples, format)), {}});
  }

  // start-sound ID [loops N] [in N] [out N] [stop] [nomultiple] [envelope POS:LEFT:RIGHT...]
  void startSound(Cursor& c, Timeline& t) {
    swf::StartSound start;
    start.soundId = knownId(c);
    swf::SoundInfo info;
    while (c.more()) {
      const std::string option = c.word("option");
      if (option == "loops") info.loops = static_cast<uint16_t>(c.integer("loops", 1, 65535));
      else if (option == "in") info.inPoint44 = static_cast<uint32_t>(c.integer("in point", 0, 1L << 30));
      else if (option == "out") info.outPoint44 = static_cast<uint32_t>(c.integer("out point", 0, 1L << 30));
      else if (option == "stop") info.stop = true;
      else if (option == "nomultiple") info.noMultiple = true;
      else if (option == "envelope") {
        while (c.more() && c.peek().find(':') != std::string::npos) {
          const std::string point = c.word("envelope point");
          unsigned long position = 0, left = 0, right = 0;
          if (std::sscanf(point.c_str(), "%lu:%lu:%lu", &position, &left, &right) != 3 || left > 32768 || right > 32768)
            fail("bad envelope point '" + point + "' (POSITION:LEFT:RIGHT, levels to 32768)");
          info.envelope.push_back({static_cast<uint32_t>(position), static_cast<uint16_t>(left), static_cast<uint16_t>(right)});
        }
      } else {
        fail("unknown sound option '" + option + "' (loops, in, out, stop, nomultiple, envelope)");
      }
    }
    start.soundInfo = swf::writeSoundInfo(info);
    t.pending.tags.push_back(std::move(start));
  }

  // bitmap ID W H PIXEL... (straight RRGGBB[AA], row by row)
  void bitmap(Cursor& c) {
    swf::Bitmap b;
    b.id = newId(c);
    b.width = static_cast<uint32_t>(c.integer("width", 1, 4096));
    b.height = static_cast<uint32_t>(c.integer("height", 1, 4096));
    for (uint32_t i = 0; i < b.width * b.height; ++i) {
      swf::Rgba p = color(c.word("pixel"));
      // Bitmaps are kept premultiplied.
      auto premultiply = [&](uint8_t v) { return static_cast<uint8_t>((v * p.a + 127) / 255); };
      for (uint8_t channel : {premultiply(p.r), premultiply(p.g), premultiply(p.b), p.a}) b.rgba.push_back(channel);
    }
    define(b.id, std::move(b));
  }

  Paint paint(Cursor& c) {
    Paint p;
    std::string kind = c.word("paint");
    if (kind == "bitmap") {
      p.kind = PaintKind::Bitmap;
      p.bitmapId = knownId(c);
      const auto* b = std::get_if<swf::Bitmap>(movie_.characters[p.bitmapId].get());
      if (!b) fail("character " + std::to_string(p.bitmapId) + " is no bitmap");
      p.bitmapWidth = b->width;
      p.bitmapHeight = b->height;
      for (;;) {
        if (c.peek() == "repeat") p.repeat = true;
        else if (c.peek() == "hard") p.smooth = false;
        else break;
        c.word("option");
      }
      return p;
    }
    static const std::map<std::string, PaintKind> gradients = {
        {"linear", PaintKind::Linear}, {"radial", PaintKind::Radial}, {"focal", PaintKind::Focal}};
    auto g = gradients.find(kind);
    if (g == gradients.end()) {
      p.color = color(kind);
      return p;
    }
    p.kind = g->second;
    if (p.kind == PaintKind::Focal) p.focalPoint = c.number("focal point");
    static const std::map<std::string, swf::SpreadMode> spreads = {
        {"pad", swf::SpreadMode::Pad}, {"reflect", swf::SpreadMode::Reflect}, {"repeat", swf::SpreadMode::Repeat}};
    for (;;) {
      if (auto s = spreads.find(c.peek()); s != spreads.end()) {
        p.spread = s->second;
        c.word("spread");
      } else if (c.peek() == "angle") {
        c.word("angle");
        p.angleDegrees = c.number("angle");
      } else if (c.peek().find(':') != std::string::npos) {
        std::string stop = c.word("stop");
        size_t colon = stop.find(':');
        char* end = nullptr;
        long ratio = std::strtol(stop.c_str(), &end, 10);
        if (end != stop.c_str() + colon || ratio < 0 || ratio > 255) fail("bad gradient stop '" + stop + "' (RATIO:RRGGBB[AA])");
        p.stops.push_back({static_cast<uint8_t>(ratio), color(stop.substr(colon + 1))});
      } else {
        break;
      }
    }
    if (p.stops.size() < 2 || p.stops.size() > 15) fail("a gradient has 2 to 15 stops");
    return p;
  }

  // shape ID GEOMETRY [fill PAINT] [stroke WIDTH RRGGBB[AA]] [tag N]
  void shape(Cursor& c) {
    swf::CharacterId id = newId(c);
    std::vector<PathStep> path = geometry(c);
    std::optional<Paint> fill;
    std::optional<Stroke> stroke;
    int version = 0;
    while (c.more()) {
      std::string option = c.word("option");
      if (option == "fill") {
        fill = paint(c);
      } else if (option == "stroke") {
        Stroke s;
        s.width = c.number("stroke width");
        if (s.width < 0 || s.width > 3000) fail("stroke width must be 0 to 3000");
        s.color = color(c.word("stroke colour"));
        stroke = s;
      } else if (option == "tag") {
        version = static_cast<int>(c.integer("shape tag version", 1, 4));
      } else {
        fail("unknown shape option '" + option + "' (fill, stroke, tag)");
      }
    }
    if (!fill && !stroke) fail("a shape needs a fill or a stroke");
    define(id, buildShape(id, path, fill, stroke, version));
  }

  swf::CharacterId fontId(Cursor& c) {
    const swf::CharacterId id = knownId(c);
    const auto* raw = std::get_if<swf::RawCharacter>(movie_.characters[id].get());
    if (!raw || raw->tagCode != swf::tag::kDefineFont2) fail("character " + std::to_string(id) + " is no font");
    return id;
  }

  uint16_t textSize(Cursor& c) { return static_cast<uint16_t>(std::lround(c.number("size") * 20)); }

  // font ID NAME [device] [bold] [italic]
  void font(Cursor& c) {
    const swf::CharacterId id = newId(c);
    const std::string name = c.word("font name");
    bool device = false, bold = false, italic = false;
    while (c.more()) {
      const std::string option = c.word("option");
      if (option == "device") device = true;
      else if (option == "bold") bold = true;
      else if (option == "italic") italic = true;
      else fail("unknown font option '" + option + "' (device, bold, italic)");
    }
    define(id, blockFont(id, name, bold, italic, device));
  }

  // text ID FONT SIZE RRGGBB[AA] TEXT
  void staticTextCommand(Cursor& c) {
    const swf::CharacterId id = newId(c);
    const swf::CharacterId font = fontId(c);
    const double size = c.number("size");
    if (size <= 0 || size > 1000) fail("text size must be above 0 and at most 1000");
    const swf::Rgba fill = color(c.word("text colour"));
    define(id, staticText(id, font, static_cast<uint16_t>(std::lround(size * 20)), fill, c.word("text")));
  }

  // edittext ID W H [OPTIONS]
  void editTextCommand(Cursor& c) {
    EditTextOptions o;
    o.id = newId(c);
    o.width = c.number("width") * 20;
    o.height = c.number("height") * 20;
    if (o.width < 0 || o.height < 0 || o.width > 200000 || o.height > 200000) fail("bad field size");
    static const std::map<std::string, bool EditTextOptions::*> kFlags = {
        {"html", &EditTextOptions::html},         {"multiline", &EditTextOptions::multiline},
        {"wordwrap", &EditTextOptions::wordWrap}, {"password", &EditTextOptions::password},
        {"readonly", &EditTextOptions::readOnly}, {"border", &EditTextOptions::border},
        {"noselect", &EditTextOptions::noSelect}, {"autosize", &EditTextOptions::autoSize},
        {"outlines", &EditTextOptions::useOutlines}};
    static const std::map<std::string, uint8_t> kAligns = {{"left", 0}, {"right", 1}, {"center", 2}, {"justify", 3}};
    while (c.more()) {
      const std::string option = c.word("option");
      if (auto flag = kFlags.find(option); flag != kFlags.end()) o.*(flag->second) = true;
      else if (option == "font") o.fontId = fontId(c);
      else if (option == "size") o.size = textSize(c);
      else if (option == "color") o.color = color(c.word("text colour"));
      else if (option == "text") o.text = c.word("text");
      else if (option == "var") o.variable = c.word("variable name");
      else if (option == "maxlength") o.maxLength = static_cast<uint16_t>(c.integer("maximum length", 0, 65535));
      else if (option == "align") {
        auto align = kAligns.find(c.word("alignment"));
        if (align == kAligns.end()) fail("alignment is left, right, center or justify");
        o.align = align->second;
      } else if (option == "margins") {
        o.leftMargin = textSize(c);
        o.rightMargin = textSize(c);
      } else if (option == "indent") o.indent = textSize(c);
      else if (option == "leading") o.leading = static_cast<int16_t>(std::lround(c.number("leading") * 20));
      else fail("unknown field option '" + option + "'");
    }
    define(o.id, scene::editText(o));
  }

  // The placing options: at X Y, scale SX [SY], rotate DEG, alpha F, color RM GM BM AM RA GA BA AA,
  // clip DEPTH, name NAME, ratio R.
  void placeOptions(Cursor& c, swf::PlaceObject& p) {
    double x = 0, y = 0, sx = 1, sy = 1, degrees = 0;
    bool transformed = false;
    while (c.more()) {
      std::string option = c.word("option");
      if (option == "at") {
        x = c.number("x");
        y = c.number("y");
        transformed = true;
      } else if (option == "scale") {
        sx = sy = c.number("scale");
        if (c.isNumber()) sy = c.number("vertical scale");
        transformed = true;
      } else if (option == "rotate") {
        degrees = c.number("rotation");
        transformed = true;
      } else if (option == "alpha") {
        swf::ColorTransform cx = p.colorTransform.value_or(swf::ColorTransform{});
        cx.aMult = static_cast<int16_t>(std::lround(std::clamp(c.number("alpha"), 0.0, 1.0) * 256));
        p.colorTransform = cx;
      } else if (option == "color") {
        swf::ColorTransform cx;
        for (int16_t* field : {&cx.rMult, &cx.gMult, &cx.bMult, &cx.aMult, &cx.rAdd, &cx.gAdd, &cx.bAdd, &cx.aAdd})
          *field = static_cast<int16_t>(c.integer("colour transform term", -4096, 4096));
        p.colorTransform = cx;
      } else if (option == "clip") {
        p.clipDepth = static_cast<uint16_t>(c.integer("clip depth", 1, 65535));
      } else if (option == "name") {
        p.name = c.word("name");
      } else if (option == "ratio") {
        p.ratio = static_cast<uint16_t>(c.integer("ratio", 0, 65535));
      } else {
        fail("unknown placing option '" + option + "' (at, scale, rotate, alpha, color, clip, name, ratio)");
      }
    }
    if (transformed) {
      double a = degrees * kPi / 180;
      p.matrix = swf::Matrix{sx * std::cos(a), sx * std::sin(a), -sy * std::sin(a), sy * std::cos(a), x * 20, y * 20};
    }
  }

  uint16_t depth(Cursor& c) {
    if (c.word("'depth'") != "depth") fail("expected 'depth D'");
    return static_cast<uint16_t>(c.integer("depth", 1, 65535));
  }

  void timelineCommand(const std::string& command, Cursor& c, Timeline& t) {
    if (command == "frame") {
      t.show();
    } else if (command == "place" || command == "replace" || command == "move") {
      swf::PlaceObject p;
      p.version = 2;
      if (command != "move") p.characterId = knownId(c);
      p.move = command != "place";
      p.depth = depth(c);
      placeOptions(c, p);
      t.pending.tags.push_back(p);
    } else if (command == "remove") {
      t.pending.tags.push_back(swf::RemoveObject{depth(c), std::nullopt});
    } else if (command == "start-sound") {
      startSound(c, t);
    } else if (command == "label") {
      t.pending.tags.push_back(swf::FrameLabel{c.word("label"), false});
    } else if (command == "action") {
      swf::DoAction action;
      while (c.more()) {
        std::string hex = c.word("byte");
        if (hex.size() % 2 || hex.empty() || !hexDigits(hex, 0)) fail("bad action bytes '" + hex + "' (hex)");
        for (size_t i = 0; i < hex.size(); i += 2)
          action.actions.push_back(static_cast<uint8_t>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
      }
      t.pending.tags.push_back(std::move(action));
    } else {
      fail("unknown command '" + command + "'");
    }
  }

  swf::MovieData& movie_;
  int line_ = 0;
};

}  // namespace

bool readScene(std::string_view text, swf::MovieData& movie, std::string& error) {
  SceneReader reader(movie);
  try {
    reader.read(text);
    return true;
  } catch (const SceneError& e) {
    error = reader.line() ? "line " + std::to_string(reader.line()) + ": " + e.why : e.why;
    return false;
  }
}

}  // namespace scene
