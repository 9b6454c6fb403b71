// AVM1 in the player: the machine's host (trace lines, FSCommand, loads into levels,
// ExternalInterface calls out) and the container's way in (variables by path, callbacks).
#include "ActionScriptMovie.h"

#include "globals/Globals.h"

#include <cwctype>

#include "ExternalInterface.h"
#include "ScriptClasses.h"
#include "FlashPlayer.h"
#include "Text.h"
#include "Transcript.h"

namespace {

constexpr char kFsCommandPrefix[] = "FSCommand:";
constexpr wchar_t kPlayerVersion[] = L"WIN 9,0,0,0";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// "_levelN" (any case) as N; -1 for any other target.
int levelOf(std::string_view target) {
  if (!startsWithNoCase(target, "_level") || target.size() == 6) return -1;
  int level = 0;
  for (char c : target.substr(6)) {
    if (c < '0' || c > '9' || level > 10000) return -1;
    level = level * 10 + (c - '0');
  }
  return level;
}

avm1::Value fromText(const std::wstring& text) { return avm1::Value(wideToUtf8(text)); }

// The movie's view of an ExternalInterface answer: its type kept, as the player's parser reads it.
avm1::Value valueOfXml(const std::wstring& xml) {
  size_t start = xml.find_first_not_of(L" \t\r\n");
  std::wstring_view v = start == std::wstring::npos ? std::wstring_view() : std::wstring_view(xml).substr(start);
  auto is = [&](std::wstring_view prefix) { return v.substr(0, prefix.size()) == prefix; };
  if (is(L"<true/>")) return avm1::Value(true);
  if (is(L"<false/>")) return avm1::Value(false);
  if (is(L"<null/>")) return avm1::Value::null();
  if (is(L"<undefined/>")) return avm1::Value();
  std::wstring text = external::parseValue(xml);
  if (is(L"<number>")) return avm1::Value(avm1::stringToNumber(wideToUtf8(text)));
  return fromText(text);
}

}  // namespace

ActionScriptMovie::ActionScriptMovie(FlashPlayer& player, int version) : player_(player), machine_(version, *this), codeVersion_(version) {}

void ActionScriptMovie::play(const movie::SwfMovie& movie, const std::wstring& url,
                             const std::map<std::wstring, std::wstring>& variables,
                             std::shared_ptr<display::MoviePlayer> display) {
  input_.reset();
  stage_.reset();
  timeline_.reset();
  machine_.unloadLevel(0);
  if (display) {
    stage_ = std::make_shared<clips::ClipStage>(std::move(display), machine_);
    stage_->url = wideToUtf8(scriptUrlOf(url));
    input_ = std::make_unique<clips::ClipInput>(*stage_);
    // loadMovie and MovieClipLoader fetch as the movie's other loads do; the answer comes back
    // from the message loop, to this stage if it is still the movie's.
    stage_->loads().setRequest([this, weak = std::weak_ptr<clips::ClipStage>(stage_)](int id, const std::string& url) {
      player_.startClipLoad(url, [weak, id](std::optional<std::vector<uint8_t>> bytes) {
        if (auto stage = weak.lock()) stage->loads().fetched(id, std::move(bytes));
      });
    });
    stageStarted_ = false;
  }
  avm1::ObjectRef root = machine_.root();
  root->set(machine_, "_url", fromText(scriptUrlOf(url)));
  root->set(machine_, "$version", fromText(kPlayerVersion));
  for (const auto& [name, value] : variables) root->set(machine_, wideToUtf8(name), fromText(value));
  machine_.setScriptLimit(std::chrono::seconds(movie.scriptTimeoutSeconds));
  codeVersion_ = movie.version;
  std::vector<avm1::FrameCode> code;
  for (const movie::ActionBlock& block : movie.actions)
    code.push_back({block.frame, block.init, std::make_shared<avm1::Code>(avm1::Code{block.bytes, movie.version})});
  hasCode_ = hasCode_ || !code.empty();
  if (stage_) return;
  timeline_ = std::make_shared<avm1::TimelineRunner>(machine_, std::move(code), movie.frameCount, movie.frameRate);
}

void ActionScriptMovie::runButtonAction(const display::PendingButtonAction& action) {
  hasCode_ = true;
  machine_.runActions(std::make_shared<avm1::Code>(avm1::Code{action.bytes, codeVersion_}), machine_.root());
}

void ActionScriptMovie::buttonEvent(const display::ButtonEvent& event) {
  if (!stage_) return;
  hasCode_ = true;
  clips::runButtonHandler(*stage_, event);
}

void ActionScriptMovie::enterFrame() {
  if (auto stage = stage_) {
    if (stageStarted_) return stage->tick();
    stageStarted_ = true;
    stage->catchUp();
    stage->runQueue();
    return;
  }
  // A load that completes inside this frame's calls replaces the timeline, not the one running.
  if (auto timeline = timeline_) timeline->enterFrame();
}

std::optional<std::wstring> ActionScriptMovie::getVariable(const std::wstring& path) {
  avm1::Value value = machine_.getVariable(wideToUtf8(path));
  if (value.isUndefined()) return std::nullopt;
  return utf8ToWide(machine_.textOf(value));
}

void ActionScriptMovie::setVariable(const std::wstring& path, const std::wstring& value) {
  machine_.setVariable(wideToUtf8(path), fromText(value));
}

bool ActionScriptMovie::hasCallback(const std::wstring& name) { return machine_.callbacks().count(wideToUtf8(name)) > 0; }

std::wstring ActionScriptMovie::callCallback(const std::wstring& name, const std::vector<std::wstring>& args) {
  avm1::Args values;
  for (const std::wstring& a : args) values.push_back(fromText(a));
  return valueXml(machine_.callExported(wideToUtf8(name), values));
}

std::wstring ActionScriptMovie::valueXml(const avm1::Value& value) {
  using K = avm1::Value::Kind;
  switch (value.kind()) {
    case K::Undefined: return L"<undefined/>";
    case K::Null: return L"<null/>";
    case K::Boolean: return value.number() ? L"<true/>" : L"<false/>";
    case K::Number: return L"<number>" + utf8ToWide(avm1::numberToString(value.number())) + L"</number>";
    default: return external::stringValue(utf8ToWide(machine_.textOf(value)));
  }
}

void ActionScriptMovie::trace(const std::string& line) {
  transcript::write(L"trace " + transcript::quote(utf8ToWide(line)));
}

void ActionScriptMovie::getUrl(const std::string& url, const std::string& target) {
  const std::wstring wideUrl = utf8ToWide(url), wideTarget = utf8ToWide(target);
  if (startsWithNoCase(url, kFsCommandPrefix)) {
    std::wstring command = wideUrl.substr(sizeof kFsCommandPrefix - 1);
    transcript::write(L"fscommand " + transcript::quote(command) + L" " + transcript::quote(wideTarget));
    player_.fsCommand(command, wideTarget);
    return;
  }
  int level = levelOf(target);
  if (level < 0 && (target == "_root" || target == "_level")) level = 0;
  if (level >= 0 && !url.empty()) {
    player_.loadFromMovie(level, wideUrl);
    return;
  }
  // Pages, unloads and loads into clips: the stand-in's clips have nothing to show them in.
  transcript::write(L"geturl " + transcript::quote(wideUrl) + L" " + transcript::quote(wideTarget));
}

avm1::Value ActionScriptMovie::externalCall(const std::string& name, const avm1::Args& args) {
  std::vector<std::wstring> values;
  std::wstring line = L"call " + utf8ToWide(name);
  for (const avm1::Value& a : args) {
    values.push_back(valueXml(a));
    line += L" " + transcript::quote(utf8ToWide(machine_.toString(a)));
  }
  std::optional<std::wstring> answer = player_.externalCallXml(utf8ToWide(name), values);
  transcript::write(line + L" -> " + (answer ? transcript::quote(external::parseValue(*answer)) : L"none"));
  // Nobody answering gives null, as the player's call does without a container function.
  return answer ? valueOfXml(*answer) : avm1::Value::null();
}

void ActionScriptMovie::soundCompleted(uint32_t voice) { avm1::soundCompleted(machine_, voice); }

std::wstring scriptUrlOf(const std::wstring& url) {
  const bool drive = url.size() >= 3 && std::iswalpha(url[0]) && url[1] == L':' && (url[2] == L'\\' || url[2] == L'/');
  const bool unc = url.size() >= 2 && url[0] == L'\\' && url[1] == L'\\';
  if (!drive && !unc) return url;
  std::wstring out = unc ? L"file:" : L"file:///";
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : wideToUtf8(url)) {
    if (c == '\\') out += L'/';
    else if (c == ':' && out.size() == 9) out += L'|';  // the drive's colon
    else if (c <= ' ' || c >= 0x7F || c == '%' || c == '#' || c == '?' || c == '"' || c == '<' || c == '>') {
      out += L'%';
      out += static_cast<wchar_t>(kHex[c >> 4]);
      out += static_cast<wchar_t>(kHex[c & 15]);
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

std::optional<std::wstring> localPathOfFileUrl(const std::wstring& url) {
  if (url.size() < 5 || _wcsnicmp(url.c_str(), L"file:", 5) != 0) return std::nullopt;
  size_t at = 5;
  while (at < url.size() && (url[at] == L'/' || url[at] == L'\\')) ++at;
  std::wstring rest = url.substr(at);
  if (rest.size() < 2 || !std::iswalpha(rest[0]) || (rest[1] != L'|' && rest[1] != L':')) return std::nullopt;
  std::string bytes;
  std::string utf8 = wideToUtf8(rest);
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '%' && i + 2 < utf8.size() && std::isxdigit(static_cast<unsigned char>(utf8[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(utf8[i + 2]))) {
      bytes += static_cast<char>(std::stoi(utf8.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      bytes += c == '/' ? '\\' : c;
    }
  }
  std::wstring path = utf8ToWide(bytes);
  path[1] = L':';
  return path;
}
