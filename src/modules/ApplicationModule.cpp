// vor.Application's command table, in the order the commands are registered.
#include "modules/ApplicationModule.h"

namespace lumo {

const ApplicationModule::Entry ApplicationModule::kCommands[] = {
    {L"bArray", &ApplicationModule::nothing},
    {L"createForm", &ApplicationModule::createForm},
    {L"deleteForm", &ApplicationModule::nothing},
    {L"bringToFront", &ApplicationModule::bringToFront},
    {L"delay", &ApplicationModule::delay},
    {L"doEvents", &ApplicationModule::nothing},
    {L"enableExitHandler", &ApplicationModule::enableExitHandler},
    {L"exit", &ApplicationModule::exit},
    {L"exitWithCode", &ApplicationModule::exitWithCode},
    {L"exitWithModalResult", &ApplicationModule::exitWithModalResult},
    {L"getCMDParams", &ApplicationModule::commandLineParameter},
    {L"getEnvVar", &ApplicationModule::environmentVariable},
    {L"getSecureVar", &ApplicationModule::secureVariable},
    {L"maximize", &ApplicationModule::maximize},
    {L"minimize", &ApplicationModule::minimize},
    {L"minimizeToTray", &ApplicationModule::minimizeToTray},
    {L"printVar", &ApplicationModule::printText},
    {L"restore", &ApplicationModule::restore},
    {L"say", &ApplicationModule::say},
    {L"sendToBack", &ApplicationModule::sendToBack},
    {L"setEnvVar", &ApplicationModule::setEnvironmentVariable},
    {L"shake", &ApplicationModule::shake},
    {L"showTips", &ApplicationModule::nothing},
    {L"textAreaEnhance", &ApplicationModule::nothing},
    {L"getGlobalVar", &ApplicationModule::globalVariable},
    {L"getfilename", &ApplicationModule::fileName},
    {L"getfilenameUnicode", &ApplicationModule::fileName},
    {L"getfilenameUnix", &ApplicationModule::nothing},
    {L"getisMinimized", &ApplicationModule::isMinimized},
    {L"getpath", &ApplicationModule::path},
    {L"getpathUnicode", &ApplicationModule::path},
    {L"getpathUnix", &ApplicationModule::nothing},
    {L"settitle", &ApplicationModule::setTitle},
    {L"getFormNames", &ApplicationModule::formNames},
    {L"switchFullScreen", &ApplicationModule::switchFullScreen},
};

ApplicationModule::ApplicationModule() : RuntimeModule(L"vor.Application", L"1.0.0", L"", true) {}

bool ApplicationModule::registerMethods() {
  for (const Entry& entry : kCommands) {
    const Command command = entry.command;
    addMethod(std::make_unique<CommandMethod>(
        entry.name, [this, command](FormInterface* form, const Arguments& arguments) {
          return (this->*command)(form, arguments);
        }));
  }
  return true;
}

}  // namespace lumo
