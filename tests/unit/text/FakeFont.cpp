// The layout tests' font.
#include "FakeFont.h"

namespace fixture {

std::optional<uint32_t> FakeFont::glyphFor(char16_t code) const {
  asked.insert(code);
  if (code == '~') return std::nullopt;
  return code;
}

}  // namespace fixture
