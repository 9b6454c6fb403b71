// The tray icon operations forms hand on (FormInterface 77, 84, 85, 86 and 88): the
// application owns the one icon of the process and puts its implementation in FormEnvironment.
#pragma once

#include <string>

namespace lumo {

class TrayControls {
 public:
  virtual void hideIcon() = 0;
  virtual void setIcon(const std::wstring& iconPath) = 0;
  virtual void showBalloon(const std::wstring& title, const std::wstring& text, const std::wstring& iconType,
                           const std::wstring& timeout, const std::wstring& clickFunction) = 0;
  virtual void showIcon() = 0;
  virtual void setHint(const std::wstring& text) = 0;

 protected:
  ~TrayControls() = default;
};

}  // namespace lumo
