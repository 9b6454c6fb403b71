// What the runtime's loader needs of a player control it maps from memory, checked before a
// projector is written: the class-object export, well-formed import, delay-import, TLS and
// unwind tables, and which libraries the control expects to find on the machine.
#pragma once

#include <string>
#include <vector>

#include "pe/PeImage.h"

namespace lumo::pe {

struct ControlImageReport {
  std::vector<std::string> refusals;  // the loader would refuse the image, or it is no control
  std::vector<std::string> warnings;  // it loads, but may not work everywhere
};

ControlImageReport checkControlImage(const PeImage& image);

// Whether `library` (any case, with or without ".dll") is part of Windows itself.
bool isSystemLibrary(const std::string& library);

}  // namespace lumo::pe
