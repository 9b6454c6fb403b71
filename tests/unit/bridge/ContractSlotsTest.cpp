// The binary contract with extension libraries: the virtual slot order of the form
// interface and of the module and method classes, and the field order of a module.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "lumo/RuntimeModule.h"
#include "lumo/FormInterface.h"

namespace lumo {
namespace {

// A pointer to a virtual member holds one plus the byte offset of its vtable slot. The
// destructor takes slots 0 and 1 (complete and deleting), so operation N sits in slot N + 1.
template <typename Member>
size_t slotOf(Member member) {
  struct {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } representation;
  static_assert(sizeof(member) == sizeof(representation));
  std::memcpy(&representation, &member, sizeof(member));
  return (representation.pointer - 1) / sizeof(void*);
}

TEST(ContractSlots, FormInterfaceOperationsInOrder) {
  EXPECT_EQ(slotOf(&FormInterface::id), 2u) << "operation 1";
  EXPECT_EQ(slotOf(&FormInterface::windowHandle), 3u) << "operation 2";
  EXPECT_EQ(slotOf(&FormInterface::instanceHandle), 4u) << "operation 3";
  EXPECT_EQ(slotOf(&FormInterface::playerControlHandle), 5u) << "operation 4";
  EXPECT_EQ(slotOf(&FormInterface::isAlwaysOnTop), 6u) << "operation 5";
  EXPECT_EQ(slotOf(&FormInterface::titleText), 7u) << "operation 6";
  EXPECT_EQ(slotOf(&FormInterface::setShapeFromBitmapKeyed), 8u) << "operation 7";
  EXPECT_EQ(slotOf(&FormInterface::callFunction), 9u) << "operation 8";
  EXPECT_EQ(slotOf(&FormInterface::callFunctionForwarded), 10u) << "operation 9";
  EXPECT_EQ(slotOf(&FormInterface::setSizeLimits), 11u) << "operation 10";
  EXPECT_EQ(slotOf(&FormInterface::acceptDroppedFiles), 12u) << "operation 11";
  EXPECT_EQ(slotOf(&FormInterface::refuseDroppedFiles), 13u) << "operation 12";
  EXPECT_EQ(slotOf(&FormInterface::gotoFrame), 14u) << "operation 13";
  EXPECT_EQ(slotOf(&FormInterface::gotoLabel), 15u) << "operation 14";
  EXPECT_EQ(slotOf(&FormInterface::hide), 16u) << "operation 15";
  EXPECT_EQ(slotOf(&FormInterface::removeShape), 17u) << "operation 16";
  EXPECT_EQ(slotOf(&FormInterface::hideCaption), 18u) << "operation 17";
  EXPECT_EQ(slotOf(&FormInterface::maximize), 19u) << "operation 18";
  EXPECT_EQ(slotOf(&FormInterface::minimize), 20u) << "operation 19";
  EXPECT_EQ(slotOf(&FormInterface::restore), 21u) << "operation 20";
  EXPECT_EQ(slotOf(&FormInterface::setFocus), 22u) << "operation 21";
  EXPECT_EQ(slotOf(&FormInterface::setStatusText), 23u) << "operation 22";
  EXPECT_EQ(slotOf(&FormInterface::shake), 24u) << "operation 23";
  EXPECT_EQ(slotOf(&FormInterface::show), 25u) << "operation 24";
  EXPECT_EQ(slotOf(&FormInterface::reserved25), 26u) << "operation 25";
  EXPECT_EQ(slotOf(&FormInterface::reserved26), 27u) << "operation 26";
  EXPECT_EQ(slotOf(&FormInterface::setShapeFromBitmap), 28u) << "operation 27";
  EXPECT_EQ(slotOf(&FormInterface::runModal), 29u) << "operation 28";
  EXPECT_EQ(slotOf(&FormInterface::showStatusBar), 30u) << "operation 29";
  EXPECT_EQ(slotOf(&FormInterface::enableDrag), 31u) << "operation 30";
  EXPECT_EQ(slotOf(&FormInterface::disableDrag), 32u) << "operation 31";
  EXPECT_EQ(slotOf(&FormInterface::opacity), 33u) << "operation 32";
  EXPECT_EQ(slotOf(&FormInterface::setOpacity), 34u) << "operation 33";
  EXPECT_EQ(slotOf(&FormInterface::setBasePath), 35u) << "operation 34";
  EXPECT_EQ(slotOf(&FormInterface::setBackgroundColour), 36u) << "operation 35";
  EXPECT_EQ(slotOf(&FormInterface::height), 37u) << "operation 36";
  EXPECT_EQ(slotOf(&FormInterface::setHeight), 38u) << "operation 37";
  EXPECT_EQ(slotOf(&FormInterface::reserved38), 39u) << "operation 38";
  EXPECT_EQ(slotOf(&FormInterface::setTitle), 40u) << "operation 39";
  EXPECT_EQ(slotOf(&FormInterface::setTitleText), 41u) << "operation 40";
  EXPECT_EQ(slotOf(&FormInterface::windowText), 42u) << "operation 41";
  EXPECT_EQ(slotOf(&FormInterface::isVisible), 43u) << "operation 42";
  EXPECT_EQ(slotOf(&FormInterface::setVisible), 44u) << "operation 43";
  EXPECT_EQ(slotOf(&FormInterface::width), 45u) << "operation 44";
  EXPECT_EQ(slotOf(&FormInterface::setWidth), 46u) << "operation 45";
  EXPECT_EQ(slotOf(&FormInterface::windowState), 47u) << "operation 46";
  EXPECT_EQ(slotOf(&FormInterface::x), 48u) << "operation 47";
  EXPECT_EQ(slotOf(&FormInterface::setX), 49u) << "operation 48";
  EXPECT_EQ(slotOf(&FormInterface::y), 50u) << "operation 49";
  EXPECT_EQ(slotOf(&FormInterface::setY), 51u) << "operation 50";
  EXPECT_EQ(slotOf(&FormInterface::setMaximizeBox), 52u) << "operation 51";
  EXPECT_EQ(slotOf(&FormInterface::setMinimizeBox), 53u) << "operation 52";
  EXPECT_EQ(slotOf(&FormInterface::setSystemMenu), 54u) << "operation 53";
  EXPECT_EQ(slotOf(&FormInterface::close), 55u) << "operation 54";
  EXPECT_EQ(slotOf(&FormInterface::setBorderStyle), 56u) << "operation 55";
  EXPECT_EQ(slotOf(&FormInterface::reserved56), 57u) << "operation 56";
  EXPECT_EQ(slotOf(&FormInterface::setLeftButtonMode), 58u) << "operation 57";
  EXPECT_EQ(slotOf(&FormInterface::setMiddleButtonMode), 59u) << "operation 58";
  EXPECT_EQ(slotOf(&FormInterface::setRightButtonMode), 60u) << "operation 59";
  EXPECT_EQ(slotOf(&FormInterface::setVariable), 61u) << "operation 60";
  EXPECT_EQ(slotOf(&FormInterface::setScaleMode), 62u) << "operation 61";
  EXPECT_EQ(slotOf(&FormInterface::setAlignMode), 63u) << "operation 62";
  EXPECT_EQ(slotOf(&FormInterface::getVariable), 64u) << "operation 63";
  EXPECT_EQ(slotOf(&FormInterface::loadMovie), 65u) << "operation 64";
  EXPECT_EQ(slotOf(&FormInterface::trySetBasePath), 66u) << "operation 65";
  EXPECT_EQ(slotOf(&FormInterface::setMovieVariable), 67u) << "operation 66";
  EXPECT_EQ(slotOf(&FormInterface::enableExitHandler), 68u) << "operation 67";
  EXPECT_EQ(slotOf(&FormInterface::addMainMenuSeparator), 69u) << "operation 68";
  EXPECT_EQ(slotOf(&FormInterface::addMainMenu), 70u) << "operation 69";
  EXPECT_EQ(slotOf(&FormInterface::addMainMenuItem), 71u) << "operation 70";
  EXPECT_EQ(slotOf(&FormInterface::setMainMenuItemChecked), 72u) << "operation 71";
  EXPECT_EQ(slotOf(&FormInterface::setMainMenuItemEnabled), 73u) << "operation 72";
  EXPECT_EQ(slotOf(&FormInterface::setMainMenuItemVisible), 74u) << "operation 73";
  EXPECT_EQ(slotOf(&FormInterface::removeMainMenu), 75u) << "operation 74";
  EXPECT_EQ(slotOf(&FormInterface::removeMainMenuItem), 76u) << "operation 75";
  EXPECT_EQ(slotOf(&FormInterface::setMainMenuType), 77u) << "operation 76";
  EXPECT_EQ(slotOf(&FormInterface::hideTrayIcon), 78u) << "operation 77";
  EXPECT_EQ(slotOf(&FormInterface::addTrayMenuSeparator), 79u) << "operation 78";
  EXPECT_EQ(slotOf(&FormInterface::addTrayMenuItem), 80u) << "operation 79";
  EXPECT_EQ(slotOf(&FormInterface::setTrayMenuItemChecked), 81u) << "operation 80";
  EXPECT_EQ(slotOf(&FormInterface::setTrayMenuItemEnabled), 82u) << "operation 81";
  EXPECT_EQ(slotOf(&FormInterface::setTrayMenuItemVisible), 83u) << "operation 82";
  EXPECT_EQ(slotOf(&FormInterface::removeTrayMenuItem), 84u) << "operation 83";
  EXPECT_EQ(slotOf(&FormInterface::setTrayIcon), 85u) << "operation 84";
  EXPECT_EQ(slotOf(&FormInterface::showTrayBalloon), 86u) << "operation 85";
  EXPECT_EQ(slotOf(&FormInterface::showTrayIcon), 87u) << "operation 86";
  EXPECT_EQ(slotOf(&FormInterface::setTrayMenuType), 88u) << "operation 87";
  EXPECT_EQ(slotOf(&FormInterface::setTrayHint), 89u) << "operation 88";
  EXPECT_EQ(slotOf(&FormInterface::disableContextMenu), 90u) << "operation 89";
  EXPECT_EQ(slotOf(&FormInterface::enableContextMenu), 91u) << "operation 90";
  EXPECT_EQ(slotOf(&FormInterface::addContextMenuSeparator), 92u) << "operation 91";
  EXPECT_EQ(slotOf(&FormInterface::addContextMenuItem), 93u) << "operation 92";
  EXPECT_EQ(slotOf(&FormInterface::setContextMenuItemChecked), 94u) << "operation 93";
  EXPECT_EQ(slotOf(&FormInterface::setContextMenuItemEnabled), 95u) << "operation 94";
  EXPECT_EQ(slotOf(&FormInterface::setContextMenuItemVisible), 96u) << "operation 95";
  EXPECT_EQ(slotOf(&FormInterface::removeContextMenuItem), 97u) << "operation 96";
  EXPECT_EQ(slotOf(&FormInterface::setContextMenuType), 98u) << "operation 97";
  EXPECT_EQ(slotOf(&FormInterface::getAppMenuSetting1), 99u) << "operation 98";
  EXPECT_EQ(slotOf(&FormInterface::setAppMenuSetting1), 100u) << "operation 99";
  EXPECT_EQ(slotOf(&FormInterface::getAppMenuSetting2), 101u) << "operation 100";
  EXPECT_EQ(slotOf(&FormInterface::setAppMenuSetting2), 102u) << "operation 101";
  EXPECT_EQ(slotOf(&FormInterface::setCloseOnMouse), 103u) << "operation 102";
  EXPECT_EQ(slotOf(&FormInterface::setCloseOnKey), 104u) << "operation 103";
  EXPECT_EQ(slotOf(&FormInterface::callFunctionXml), 105u) << "operation 104";
  EXPECT_EQ(slotOf(&FormInterface::callFunctionVariable), 106u) << "operation 105";
}

TEST(ContractSlots, ModuleAndMethodOperationsInOrder) {
  EXPECT_EQ(slotOf(&RuntimeModule::registerMethods), 2u);
  EXPECT_EQ(slotOf(&RuntimeModule::clearMethods), 3u);
  EXPECT_EQ(slotOf(&RuntimeModule::poll), 4u);
  EXPECT_EQ(slotOf(&RuntimeMethod::invoke), 2u);
  EXPECT_EQ(slotOf(&RuntimeMethod::name), 3u);
}

class Probe : public RuntimeModule {
 public:
  Probe() : RuntimeModule(L"n", L"v", L"a", true) {}
  bool registerMethods() override { return true; }
  void poll() override {}
};

TEST(ContractSlots, ModuleFieldsFollowTheVtableInOrder) {
  Probe probe;
  auto at = [&](const void* field) {
    return reinterpret_cast<const char*>(field) - reinterpret_cast<const char*>(&probe);
  };
  EXPECT_EQ(at(&probe.author), static_cast<std::ptrdiff_t>(sizeof(void*)));
  EXPECT_LT(at(&probe.author), at(&probe.version));
  EXPECT_LT(at(&probe.version), at(&probe.name));
  EXPECT_LT(at(&probe.name), at(&probe.methods));
  EXPECT_LT(at(&probe.methods), at(&probe.engine));
  EXPECT_LT(at(&probe.engine), at(&probe.enabled));
}

}  // namespace
}  // namespace lumo
