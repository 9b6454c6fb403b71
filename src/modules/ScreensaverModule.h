// The built-in module vor.Application.Screensaver, registered only in screensaver mode: which
// input of the calling form ends the screensaver.
#pragma once

#include "lumo/RuntimeModule.h"

#include <memory>

namespace lumo {

class ScreensaverModule final : public RuntimeModule {
 public:
  ScreensaverModule();

  bool registerMethods() override;
  void poll() override {}

  static std::unique_ptr<RuntimeModule> create() { return std::make_unique<ScreensaverModule>(); }
};

}  // namespace lumo
