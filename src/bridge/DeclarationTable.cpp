// The API class table as data, in declaration order, and the builder that writes it with the
// separator tokens; run-time values go into the default field of their ppsv properties.
#include "bridge/DeclarationTable.h"

#include <vector>

#include "bridge/TextHelpers.h"
#include "bridge/Tokens.h"
#include "bridge/ValueFormat.h"
#include "util/FileSystem.h"
#include "util/SpecialFolders.h"

namespace lumo {
namespace {

enum class Value { Fixed, ApplicationPath, ApplicationFilename, ScreenWidth, ScreenHeight };

struct Property {
  const wchar_t* name;
  const wchar_t* type;
  const wchar_t* access;
  const wchar_t* defaultValue;  // nullptr: the record has no default field
  Value value = Value::Fixed;
};

enum class Shape {
  NameOnly,      // "Name<{!z!!}>"
  Properties,    // "Name<{!!z!!}>" records "<{!z!!}>", possibly no records
  SystemPaths,   // the folder table
};

struct ClassEntry {
  const wchar_t* name;
  Shape shape;
  std::vector<Property> properties;
};

constexpr const wchar_t* kBlank = L" ";

// Positional-geometry properties shared by the embedded-object classes.
#define LUMO_GEOMETRY(visibleDefault)                                                   \
  {L"id", L"integer", L"set", L"-1"}, {L"width", L"integer", L"getset", L"300"},       \
      {L"height", L"integer", L"getset", L"200"}, {L"x", L"integer", L"getset", L"0"}, \
      {L"y", L"integer", L"getset", L"0"}, {L"visible", L"boolean", L"getset", visibleDefault}

const ClassEntry kFixedClasses[] = {
    {L"GlobalVariables", Shape::Properties, {{L"", L"string", L"ppsv", L""}}},
    {L"@Browser", Shape::Properties,
     {{L"id", L"integer", L"set", L"-1"}, {L"width", L"integer", L"getset", L"300"},
      {L"height", L"integer", L"getset", L"200"}, {L"x", L"integer", L"getset", L"0"},
      {L"y", L"integer", L"getset", L"0"}, {L"url", L"string", L"getset", L"0"},
      {L"visible", L"boolean", L"getset", L"true"}, {L"source", L"string", L"getset", L"0"},
      {L"title", L"string", L"get", L"0"}, {L"isBusy", L"boolean", L"get", L"false"},
      {L"favorites", L"array", L"get", L"[]"}, {L"userAgent", L"string", L"set", L"0"}}},
    {L"@ActiveX", Shape::Properties, {LUMO_GEOMETRY(L"true")}},
    {L"@MediaPlayer6", Shape::Properties,
     {LUMO_GEOMETRY(L"true"), {L"duration", L"string", L"getset", L"0"},
      {L"position", L"string", L"getset", L"0"}, {L"balance", L"string", L"getset", L"0"},
      {L"volume", L"string", L"getset", L"0"}, {L"isInstalled", L"boolean", L"getset", L"true"},
      {L"canSeek", L"boolean", L"getset", L"false"}, {L"canScan", L"boolean", L"getset", L"false"}}},
    {L"@MediaPlayer", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"duration", L"string", L"getset", L"0"},
      {L"position", L"string", L"getset", L"0"}, {L"currentMarker", L"string", L"getset", L"0"},
      {L"volume", L"string", L"getset", L"0"}, {L"balance", L"string", L"getset", L"0"},
      {L"markerCount", L"string", L"getset", L"0"}, {L"source", L"string", L"getset", L"0"},
      {L"mediaName", L"string", L"getset", L"0"}, {L"mediaWidth", L"string", L"getset", L"0"},
      {L"mediaHeight", L"string", L"getset", L"0"}, {L"isInstalled", L"boolean", L"getset", L"0"},
      {L"canSeek", L"boolean", L"getset", L"false"}, {L"canScan", L"boolean", L"getset", L"false"}}},
    {L"@QuickTime", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"duration", L"string", L"getset", L"0"},
      {L"position", L"string", L"getset", L"0"}, {L"isInstalled", L"boolean", L"getset", L"0"}}},
    {L"@RealMedia", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"duration", L"string", L"getset", L"0"},
      {L"position", L"string", L"getset", L"0"}, {L"isInstalled", L"boolean", L"getset", L"0"}}},
    {L"@Shockwave", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"bgcolor", L"string", L"getset", L"0"},
      {L"currentFrame", L"string", L"getset", L"0"}}},
    {L"@PDF7", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"scrollbars", L"string", L"getset", L"0"},
      {L"toolbar", L"string", L"getset", L"0"}}},
    {L"@PDF", Shape::Properties,
     {LUMO_GEOMETRY(L"0"), {L"scrollbars", L"string", L"getset", L"0"},
      {L"toolbar", L"string", L"getset", L"0"}}},
    {L"Application", Shape::Properties,
     {{L"title", L"string", L"getset", kBlank},
      {L"isMinimized", L"boolean", L"get", kBlank},
      {L"path", L"string", L"ppsv", L"", Value::ApplicationPath},
      {L"pathUnicode", L"string", L"ppsv", L"", Value::ApplicationPath},
      {L"filename", L"string", L"ppsv", L"", Value::ApplicationFilename},
      {L"filenameUnicode", L"string", L"ppsv", L"", Value::ApplicationFilename}}},
    {L"Application.Screensaver", Shape::Properties, {}},
    {L"Application.Kiosk", Shape::Properties, {}},
    {L"System", Shape::Properties,
     {{L"localTime", L"string", L"getset", kBlank}, {L"CPUSpeed", L"string", L"getset", kBlank},
      {L"RAMSize", L"string", L"getset", kBlank}, {L"computerOwner", L"string", L"get", kBlank},
      {L"computerCompany", L"string", L"get", kBlank}, {L"computerName", L"string", L"get", kBlank},
      {L"isAdmin", L"boolean", L"get", kBlank}, {L"servicePack", L"string", L"get", kBlank},
      {L"language", L"string", L"get", kBlank}, {L"winVerString", L"string", L"get", kBlank},
      {L"winVerStringDetail", L"string", L"get", kBlank}, {L"CDDrive", L"string", L"get", kBlank},
      {L"screenWidth", L"string", L"ppsv", L"", Value::ScreenWidth},
      {L"screenHeight", L"string", L"ppsv", L"", Value::ScreenHeight},
      {L"isUsingEI", L"string", L"ppsv", L"true"}}},
    {L"System.Paths", Shape::SystemPaths, {}},
    {L"Dialogs.BrowseFile", Shape::Properties,
     {{L"defaultDirectory", L"string", L"getset", kBlank}, {L"title", L"string", L"getset", kBlank},
      {L"filterList", L"string", L"getset", kBlank}, {L"defaultExtension", L"string", L"getset", kBlank},
      {L"buttonText", L"string", L"getset", kBlank}, {L"filterText", L"string", L"getset", kBlank},
      {L"defaultFilename", L"string", L"getset", kBlank},
      {L"allowMultiple", L"boolean", L"getset", kBlank}}},
    {L"Dialogs", Shape::NameOnly, {}},
    {L"Dialogs.BrowseFileUnicode", Shape::Properties,
     {{L"defaultDirectory", L"string", L"getset", kBlank}, {L"title", L"string", L"getset", kBlank},
      {L"filterList", L"string", L"getset", kBlank}, {L"defaultExtension", L"string", L"getset", kBlank},
      {L"defaultFilename", L"string", L"getset", kBlank},
      {L"allowMultiple", L"boolean", L"getset", kBlank}}},
    {L"Menu", Shape::Properties, {}},
    {L"Menu.Tray", Shape::Properties,
     {{L"iconHint", L"string", L"set", kBlank}, {L"menuType", L"string", L"set", kBlank}}},
    {L"Menu.Main", Shape::Properties, {{L"menuType", L"string", L"set", kBlank}}},
    {L"Menu.Context", Shape::Properties, {{L"menuType", L"string", L"set", kBlank}}},
    {L"Database.MySQL", Shape::Properties, {}},
    {L"Database", Shape::Properties, {}},
    {L"Database.MSAccess", Shape::Properties, {}},
    {L"Database.ADO", Shape::Properties, {}},
    {L"Database.SQLite", Shape::Properties, {}},
    {L"FileExplorer", Shape::Properties, {}},
    {L"FileExplorer.ComboBox", Shape::Properties, {}},
    {L"FileExplorer.ListView", Shape::Properties, {}},
    {L"FileExplorer.TreeView", Shape::Properties, {}},
    {L"Input.Mouse", Shape::Properties, {}},
    {L"Input.Joystick", Shape::Properties, {}},
    {L"Input.Tablet", Shape::Properties, {}},
    {L"String", Shape::Properties, {}},
    {L"@DLL", Shape::Properties, {}},
    {L"Network", Shape::Properties,
     {{L"IPAddress", L"string", L"getset", kBlank}, {L"isPresent", L"string", L"ppsv", L"true"}}},
    {L"Process", Shape::Properties, {}},
    {L"@FTP", Shape::Properties,
     {{L"id", L"integer", L"set", L"-1"}, {L"initialDir", L"string", L"getset", kBlank},
      {L"currentDir", L"string", L"getset", kBlank}, {L"isConnected", L"boolean", L"getset", kBlank},
      {L"account", L"string", L"getset", kBlank}, {L"async", L"boolean", L"getset", kBlank},
      {L"error", L"string", L"getset", kBlank}, {L"success", L"boolean", L"getset", kBlank},
      {L"loggerData", L"string", L"getset", kBlank}, {L"logger", L"string", L"set", kBlank},
      {L"isBusy", L"boolean", L"getset", kBlank}, {L"lastReply", L"string", L"getset", kBlank},
      {L"noop", L"string", L"getset", kBlank}, {L"passive", L"string", L"getset", kBlank},
      {L"serverType", L"string", L"getset", kBlank},
      {L"supportsResume", L"boolean", L"getset", kBlank},
      {L"timeout", L"string", L"getset", kBlank}, {L"transferMode", L"string", L"getset", kBlank},
      {L"transferTime", L"string", L"getset", kBlank},
      {L"bytesTransferred", L"string", L"getset", kBlank}}},
    {L"@Forms", Shape::Properties,
     {{L"id", L"string", L"@set", L"0"}, {L"type", L"string", L"@set", L"standard"},
      {L"title", L"string", L"@getset", nullptr}, {L"titleUnicode", L"string", L"@set", nullptr},
      {L"alpha", L"number", L"getset", nullptr}, {L"baseURL", L"string", L"getset", nullptr},
      {L"bgColor", L"string", L"getset", nullptr}, {L"isCreated", L"boolean", L"get", nullptr},
      {L"windowState", L"string", L"getset", nullptr}, {L"x", L"string", L"getset", nullptr},
      {L"y", L"string", L"getset", nullptr}, {L"width", L"string", L"getset", nullptr},
      {L"height", L"string", L"getset", nullptr}, {L"visible", L"boolean", L"getset", nullptr},
      {L"name", L"string", L"get", nullptr}, {L"style", L"string", L"set", L"standard"},
      {L"showMaxBtn", L"boolean", L"set", nullptr}, {L"showMinBtn", L"boolean", L"set", nullptr},
      {L"showSysBtn", L"boolean", L"set", nullptr}, {L"leftMouseBtn", L"boolean", L"set", nullptr}}},
    {L"COMPort", Shape::Properties,
     {{L"initialDTR", L"string", L"getset", L"-1"}, {L"initialRTS", L"string", L"getset", kBlank},
      {L"txBuffer", L"integer", L"set", kBlank}, {L"rxBuffer", L"integer", L"set", kBlank},
      {L"ports", L"string", L"getset", kBlank}}},
    {L"Flash", Shape::NameOnly, {}},
    {L"FileSystem", Shape::NameOnly, {}},
    {L"Network.UDP.Socket", Shape::NameOnly, {}},
    {L"Network.TCP.Socket", Shape::NameOnly, {}},
    {L"System.DirectX", Shape::NameOnly, {}},
    {L"Network.Mail", Shape::NameOnly, {}},
    {L"Dialogs.BrowseFolder", Shape::Properties,
     {{L"defaultDirectory", L"string", L"getset", kBlank}, {L"title", L"string", L"getset", kBlank}}},
    {L"System.JScript", Shape::NameOnly, {}},
    {L"System.VBScript", Shape::NameOnly, {}},
    {L"Encryption", Shape::NameOnly, {}},
    {L"Image", Shape::NameOnly, {}},
    {L"Image.ScreenCapture", Shape::NameOnly, {}},
    {L"Exception", Shape::NameOnly, {}},
    {L"Exception.DebugWindow", Shape::NameOnly, {}},
    {L"Network.UDP.TFTP", Shape::NameOnly, {}},
    {L"Network.HTTPD", Shape::NameOnly, {}},
    {L"System.Registry", Shape::NameOnly, {}},
    {L"Network.TCP.ProxyHTTP", Shape::NameOnly, {}},
    {L"Clipboard", Shape::NameOnly, {}},
    {L"Input.Twain", Shape::NameOnly, {}},
    {L"Application.Library", Shape::NameOnly, {}},
    {L"Network.TCP.FileServer", Shape::NameOnly, {}},
    {L"Application.Timer", Shape::NameOnly, {}},
    {L"FileSystem.BinaryFile", Shape::NameOnly, {}},
    {L"@HTTP", Shape::Properties, {{L"id", L"integer", L"set", L"-1"}}},
    {L"Audio", Shape::Properties, {}},
};
#undef LUMO_GEOMETRY

// The folders of System.Paths in declaration order; the temporary path has no folder id.
struct PathProperty {
  const wchar_t* name;
  bool isTemp;
  SpecialFolder folder;
};
const PathProperty kPathProperties[] = {
    {L"programs", false, SpecialFolder::Programs},
    {L"programFiles", false, SpecialFolder::ProgramFiles},
    {L"windows", false, SpecialFolder::Windows},
    {L"system", false, SpecialFolder::System},
    {L"temp", true, SpecialFolder::Programs},
    {L"desktop", false, SpecialFolder::Desktop},
    {L"personal", false, SpecialFolder::Personal},
    {L"favorites", false, SpecialFolder::Favorites},
    {L"startup", false, SpecialFolder::Startup},
    {L"recent", false, SpecialFolder::Recent},
    {L"fonts", false, SpecialFolder::Fonts},
    {L"history", false, SpecialFolder::History},
    {L"cookies", false, SpecialFolder::Cookies},
    {L"network", false, SpecialFolder::NetHood},
    {L"startMenu", false, SpecialFolder::StartMenu},
    {L"appData", false, SpecialFolder::AppData},
    {L"commonAdminTools", false, SpecialFolder::CommonAdminTools},
    {L"commonAppData", false, SpecialFolder::CommonAppData},
    {L"commonPrograms", false, SpecialFolder::CommonPrograms},
    {L"commonStartMenu", false, SpecialFolder::CommonStartMenu},
    {L"commonStartup", false, SpecialFolder::CommonStartup},
    {L"allUsersAppData", false, SpecialFolder::CommonAppData},
    {L"allUsersPrograms", false, SpecialFolder::CommonPrograms},
    {L"allUsersStartMenu", false, SpecialFolder::CommonStartMenu},
    {L"allUsersStartup", false, SpecialFolder::CommonStartup},
};

constexpr std::wstring_view kExtensionPrefix = L"vor.Extensions";  // fourteen characters

void appendRecord(std::wstring& out, std::wstring_view name, std::wstring_view type,
                  std::wstring_view access, const std::wstring* defaultValue) {
  out += name;
  out += tokens::kFieldSeparator;
  out += type;
  out += tokens::kFieldSeparator;
  out += access;
  if (defaultValue) {
    out += tokens::kFieldSeparator;
    out += *defaultValue;
  }
  out += tokens::kRecordEnd;
}

std::wstring runTimeValue(const Property& property, const DeclarationValues& values) {
  switch (property.value) {
    case Value::ApplicationPath: return declaredApplicationPath(values.executablePath);
    case Value::ApplicationFilename: return declaredApplicationFilename(values.executablePathShort);
    case Value::ScreenWidth: return formatInteger(values.screenWidth);
    case Value::ScreenHeight: return formatInteger(values.screenHeight);
    case Value::Fixed: break;
  }
  return property.defaultValue ? property.defaultValue : L"";
}

void appendClass(std::wstring& out, const ClassEntry& entry, const DeclarationValues& values) {
  out += entry.name;
  if (entry.shape != Shape::NameOnly) out += tokens::kClassNameEnd;
  if (entry.shape == Shape::Properties) {
    for (const Property& property : entry.properties) {
      const std::wstring value = runTimeValue(property, values);
      appendRecord(out, property.name, property.type, property.access,
                   property.defaultValue ? &value : nullptr);
    }
  } else if (entry.shape == Shape::SystemPaths) {
    for (const PathProperty& path : kPathProperties) {
      const std::wstring value =
          path.isTemp ? values.tempPath : values.folders[static_cast<size_t>(path.folder)] + L"\\";
      appendRecord(out, path.name, L"string", L"ppsv", &value);
    }
  }
  out += tokens::kClassEnd;
}

// The whole path, however long: a result that fills the buffer was cut (with the terminating
// zero inside it on newer systems), so the buffer grows until the path fits.
std::wstring modulePath(HMODULE executable) {
  std::wstring path(MAX_PATH, L'\0');
  while (path.size() <= 32768) {
    const DWORD length = GetModuleFileNameW(executable, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
  return {};
}

}  // namespace

DeclarationValues DeclarationValues::fromSystem(HMODULE executable) {
  DeclarationValues values;
  values.executablePath = modulePath(executable);
  values.executablePathShort = values.executablePath;  // whole too: a cut path names no file
  values.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  values.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  values.tempPath = lumo::tempPath();
  for (size_t i = 0; i < values.folders.size(); ++i)
    values.folders[i] = specialFolderPath(static_cast<SpecialFolder>(i));
  return values;
}

std::wstring declaredApplicationPath(const std::wstring& executablePath) {
  const size_t lastBackslash = executablePath.rfind(L'\\');
  std::wstring path = executablePath.substr(0, lastBackslash) + L"\\";
  replaceAll(path, L"\\\\", L"\\");
  return path;
}

std::wstring declaredApplicationFilename(const std::wstring& executablePath) {
  const size_t lastBackslash = executablePath.rfind(L'\\');
  return lastBackslash == std::wstring::npos ? executablePath : executablePath.substr(lastBackslash + 1);
}

std::wstring buildDeclarationString(const std::vector<std::wstring>& moduleNames,
                                    const DeclarationValues& values) {
  std::wstring out = L"Extensions";
  out += tokens::kClassNameEnd;
  out += tokens::kClassEnd;
  for (const std::wstring& name : moduleNames) {
    // A module named exactly "vor.Extensions" has no class name left to declare: skip it.
    if (name.compare(0, kExtensionPrefix.size(), kExtensionPrefix) != 0 ||
        name.size() <= kExtensionPrefix.size())
      continue;
    out += L"Extensions.";
    out += std::wstring_view(name).substr(kExtensionPrefix.size() + 1);
    out += tokens::kClassNameEnd;
    out += tokens::kClassEnd;
  }
  for (const ClassEntry& entry : kFixedClasses) appendClass(out, entry, values);
  return out;
}

}  // namespace lumo
