// What the clips tests share: a host that keeps the movie's trace lines, and a frame action
// compiled from ActionScript 2 source.
#pragma once

#include <string>

#include "Compiler.h"
#include "Machine.h"
#include "SwfMovieData.h"

namespace fixture {

class Lines : public avm1::Host {
 public:
  std::string text;
  void trace(const std::string& line) override { text += line + "\n"; }
  void getUrl(const std::string&, const std::string&) override {}
  avm1::Value externalCall(const std::string&, const avm1::Args&) override { return avm1::Value(); }
};

inline swf::DoAction action(const std::string& source) { return swf::DoAction{as2c::compileActions(source, 8)}; }

}  // namespace fixture
