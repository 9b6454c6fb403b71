// A form for engine tests: every operation does nothing; id, name and the flags are set by
// the test.
#pragma once

#include <string>

#include "lumo/FormInterface.h"

namespace lumo::test {

class FakeForm : public FormInterface {
 public:
  FakeForm(int formId, std::wstring formName, bool isTransparent = false) : id_(formId) {
    name = std::move(formName);
    transparent = isTransparent;
  }

  int id() const override { return id_; }
  HWND windowHandle() const override { return nullptr; }
  HINSTANCE instanceHandle() const override { return nullptr; }
  HWND playerControlHandle() const override { return nullptr; }
  bool isAlwaysOnTop() override { return false; }
  std::wstring titleText() override { return {}; }
  bool setShapeFromBitmapKeyed(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
  bool callFunction(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
  bool callFunctionForwarded(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
  void setSizeLimits(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override {}
  void acceptDroppedFiles() override {}
  void refuseDroppedFiles() override {}
  void gotoFrame(const std::wstring&) override {}
  void gotoLabel(const std::wstring&, const std::wstring&) override {}
  void hide() override {}
  void removeShape() override {}
  void hideCaption(const std::wstring&) override {}
  void maximize() override {}
  void minimize() override {}
  void restore() override {}
  void setFocus() override {}
  void setStatusText(const std::wstring&) override {}
  void shake(const std::wstring&) override {}
  void show() override {}
  void reserved25() override {}
  void reserved26() override {}
  bool setShapeFromBitmap(const std::wstring&) override { return false; }
  std::wstring runModal() override { return {}; }
  void showStatusBar() override {}
  void enableDrag() override {}
  void disableDrag() override {}
  int opacity() override { return 0; }
  bool setOpacity(const std::wstring&) override { return false; }
  void setBasePath(const std::wstring&) override {}
  void setBackgroundColour(const std::wstring&) override {}
  int height() override { return 0; }
  void setHeight(int) override {}
  bool reserved38() override { return false; }
  void setTitle(const std::wstring&) override {}
  void setTitleText(const std::wstring&) override {}
  std::wstring windowText() override { return {}; }
  bool isVisible() override { return false; }
  void setVisible(const std::wstring&) override {}
  int width() override { return 0; }
  void setWidth(int) override {}
  std::wstring windowState() override { return {}; }
  int x() override { return 0; }
  void setX(int) override {}
  int y() override { return 0; }
  void setY(int) override {}
  void setMaximizeBox(bool) override {}
  void setMinimizeBox(bool) override {}
  void setSystemMenu(bool) override {}
  void close() override {}
  void setBorderStyle(const std::wstring&) override {}
  void reserved56() override {}
  void setLeftButtonMode(const std::wstring&) override {}
  void setMiddleButtonMode(const std::wstring&) override {}
  void setRightButtonMode(const std::wstring&) override {}
  bool setVariable(const std::wstring&, const std::wstring&) override { return false; }
  void setScaleMode(int) override {}
  void setAlignMode(int) override {}
  std::wstring getVariable(const std::wstring&) override { return {}; }
  void loadMovie(int, const std::wstring&) override {}
  bool trySetBasePath(const std::wstring&) override { return false; }
  bool setMovieVariable(const std::wstring&, const std::wstring&) override { return false; }
  void enableExitHandler() override {}
  void addMainMenuSeparator(const std::wstring&) override {}
  void addMainMenu(const std::wstring&) override {}
  void addMainMenuItem(const std::wstring&, const std::wstring&) override {}
  void setMainMenuItemChecked(const std::wstring&, const std::wstring&, bool) override {}
  void setMainMenuItemEnabled(const std::wstring&, const std::wstring&, bool) override {}
  void setMainMenuItemVisible(const std::wstring&, const std::wstring&, bool) override {}
  void removeMainMenu(const std::wstring&) override {}
  void removeMainMenuItem(const std::wstring&, const std::wstring&) override {}
  void setMainMenuType(const std::wstring&) override {}
  void hideTrayIcon() override {}
  void addTrayMenuSeparator() override {}
  void addTrayMenuItem(const std::wstring&) override {}
  void setTrayMenuItemChecked(const std::wstring&, bool) override {}
  void setTrayMenuItemEnabled(const std::wstring&, bool) override {}
  void setTrayMenuItemVisible(const std::wstring&, bool) override {}
  void removeTrayMenuItem(const std::wstring&) override {}
  void setTrayIcon(const std::wstring&) override {}
  void showTrayBalloon(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override {}
  void showTrayIcon() override {}
  void setTrayMenuType(const std::wstring&) override {}
  void setTrayHint(const std::wstring&) override {}
  void disableContextMenu() override {}
  void enableContextMenu() override {}
  void addContextMenuSeparator() override {}
  void addContextMenuItem(const std::wstring&) override {}
  void setContextMenuItemChecked(const std::wstring&, bool) override {}
  void setContextMenuItemEnabled(const std::wstring&, bool) override {}
  void setContextMenuItemVisible(const std::wstring&, bool) override {}
  void removeContextMenuItem(const std::wstring&) override {}
  void setContextMenuType(const std::wstring&) override {}
  std::wstring getAppMenuSetting1() override { return {}; }
  void setAppMenuSetting1(const std::wstring&) override {}
  std::wstring getAppMenuSetting2() override { return {}; }
  void setAppMenuSetting2(const std::wstring&) override {}
  void setCloseOnMouse(bool) override {}
  void setCloseOnKey(bool) override {}
  bool callFunctionXml(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
  bool callFunctionVariable(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }

 private:
  int id_;
};

}  // namespace lumo::test
