// A compile error at a place in the source. The compiler stops at the first one, before
// anything is written.
#pragma once

#include <stdexcept>
#include <string>

namespace as2c {

struct SourcePosition {
  int line = 1;
  int column = 1;
};

class CompileError : public std::runtime_error {
 public:
  CompileError(SourcePosition at, const std::string& message) : std::runtime_error(message), at_(at) {}
  SourcePosition at() const { return at_; }

 private:
  SourcePosition at_;
};

}  // namespace as2c
