// The declaration string: the fixed class entries against a reviewed golden copy, extension
// classes, and the run-time values (executable path cases, screen size, folder paths).
#include <gtest/gtest.h>

#include <vector>

#include "bridge/CommandEngine.h"
#include "bridge/DeclarationTable.h"
#include "bridge/TextHelpers.h"
#include "util/SpecialFolders.h"
#include "FakeForm.h"

namespace lumo {
namespace {

// One class entry per line; @PATH@, @FILE@, @W@, @H@ and @PATHS@ stand for the run-time values.
const wchar_t kGoldenFixedClasses[] = LR"golden(
GlobalVariables<{!!z!!}><{z}>string<{z}>ppsv<{z}><{!z!}><{!z!!}>
@Browser<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>url<{z}>string<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>true<{!z!}>source<{z}>string<{z}>getset<{z}>0<{!z!}>title<{z}>string<{z}>get<{z}>0<{!z!}>isBusy<{z}>boolean<{z}>get<{z}>false<{!z!}>favorites<{z}>array<{z}>get<{z}>[]<{!z!}>userAgent<{z}>string<{z}>set<{z}>0<{!z!}><{!z!!}>
@ActiveX<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>true<{!z!}><{!z!!}>
@MediaPlayer6<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>true<{!z!}>duration<{z}>string<{z}>getset<{z}>0<{!z!}>position<{z}>string<{z}>getset<{z}>0<{!z!}>balance<{z}>string<{z}>getset<{z}>0<{!z!}>volume<{z}>string<{z}>getset<{z}>0<{!z!}>isInstalled<{z}>boolean<{z}>getset<{z}>true<{!z!}>canSeek<{z}>boolean<{z}>getset<{z}>false<{!z!}>canScan<{z}>boolean<{z}>getset<{z}>false<{!z!}><{!z!!}>
@MediaPlayer<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>duration<{z}>string<{z}>getset<{z}>0<{!z!}>position<{z}>string<{z}>getset<{z}>0<{!z!}>currentMarker<{z}>string<{z}>getset<{z}>0<{!z!}>volume<{z}>string<{z}>getset<{z}>0<{!z!}>balance<{z}>string<{z}>getset<{z}>0<{!z!}>markerCount<{z}>string<{z}>getset<{z}>0<{!z!}>source<{z}>string<{z}>getset<{z}>0<{!z!}>mediaName<{z}>string<{z}>getset<{z}>0<{!z!}>mediaWidth<{z}>string<{z}>getset<{z}>0<{!z!}>mediaHeight<{z}>string<{z}>getset<{z}>0<{!z!}>isInstalled<{z}>boolean<{z}>getset<{z}>0<{!z!}>canSeek<{z}>boolean<{z}>getset<{z}>false<{!z!}>canScan<{z}>boolean<{z}>getset<{z}>false<{!z!}><{!z!!}>
@QuickTime<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>duration<{z}>string<{z}>getset<{z}>0<{!z!}>position<{z}>string<{z}>getset<{z}>0<{!z!}>isInstalled<{z}>boolean<{z}>getset<{z}>0<{!z!}><{!z!!}>
@RealMedia<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>duration<{z}>string<{z}>getset<{z}>0<{!z!}>position<{z}>string<{z}>getset<{z}>0<{!z!}>isInstalled<{z}>boolean<{z}>getset<{z}>0<{!z!}><{!z!!}>
@Shockwave<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>bgcolor<{z}>string<{z}>getset<{z}>0<{!z!}>currentFrame<{z}>string<{z}>getset<{z}>0<{!z!}><{!z!!}>
@PDF7<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>scrollbars<{z}>string<{z}>getset<{z}>0<{!z!}>toolbar<{z}>string<{z}>getset<{z}>0<{!z!}><{!z!!}>
@PDF<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>width<{z}>integer<{z}>getset<{z}>300<{!z!}>height<{z}>integer<{z}>getset<{z}>200<{!z!}>x<{z}>integer<{z}>getset<{z}>0<{!z!}>y<{z}>integer<{z}>getset<{z}>0<{!z!}>visible<{z}>boolean<{z}>getset<{z}>0<{!z!}>scrollbars<{z}>string<{z}>getset<{z}>0<{!z!}>toolbar<{z}>string<{z}>getset<{z}>0<{!z!}><{!z!!}>
Application<{!!z!!}>title<{z}>string<{z}>getset<{z}> <{!z!}>isMinimized<{z}>boolean<{z}>get<{z}> <{!z!}>path<{z}>string<{z}>ppsv<{z}>@PATH@<{!z!}>pathUnicode<{z}>string<{z}>ppsv<{z}>@PATH@<{!z!}>filename<{z}>string<{z}>ppsv<{z}>@FILE@<{!z!}>filenameUnicode<{z}>string<{z}>ppsv<{z}>@FILE@<{!z!}><{!z!!}>
Application.Screensaver<{!!z!!}><{!z!!}>
Application.Kiosk<{!!z!!}><{!z!!}>
System<{!!z!!}>localTime<{z}>string<{z}>getset<{z}> <{!z!}>CPUSpeed<{z}>string<{z}>getset<{z}> <{!z!}>RAMSize<{z}>string<{z}>getset<{z}> <{!z!}>computerOwner<{z}>string<{z}>get<{z}> <{!z!}>computerCompany<{z}>string<{z}>get<{z}> <{!z!}>computerName<{z}>string<{z}>get<{z}> <{!z!}>isAdmin<{z}>boolean<{z}>get<{z}> <{!z!}>servicePack<{z}>string<{z}>get<{z}> <{!z!}>language<{z}>string<{z}>get<{z}> <{!z!}>winVerString<{z}>string<{z}>get<{z}> <{!z!}>winVerStringDetail<{z}>string<{z}>get<{z}> <{!z!}>CDDrive<{z}>string<{z}>get<{z}> <{!z!}>screenWidth<{z}>string<{z}>ppsv<{z}>@W@<{!z!}>screenHeight<{z}>string<{z}>ppsv<{z}>@H@<{!z!}>isUsingEI<{z}>string<{z}>ppsv<{z}>true<{!z!}><{!z!!}>
@PATHS@
Dialogs.BrowseFile<{!!z!!}>defaultDirectory<{z}>string<{z}>getset<{z}> <{!z!}>title<{z}>string<{z}>getset<{z}> <{!z!}>filterList<{z}>string<{z}>getset<{z}> <{!z!}>defaultExtension<{z}>string<{z}>getset<{z}> <{!z!}>buttonText<{z}>string<{z}>getset<{z}> <{!z!}>filterText<{z}>string<{z}>getset<{z}> <{!z!}>defaultFilename<{z}>string<{z}>getset<{z}> <{!z!}>allowMultiple<{z}>boolean<{z}>getset<{z}> <{!z!}><{!z!!}>
Dialogs<{!z!!}>
Dialogs.BrowseFileUnicode<{!!z!!}>defaultDirectory<{z}>string<{z}>getset<{z}> <{!z!}>title<{z}>string<{z}>getset<{z}> <{!z!}>filterList<{z}>string<{z}>getset<{z}> <{!z!}>defaultExtension<{z}>string<{z}>getset<{z}> <{!z!}>defaultFilename<{z}>string<{z}>getset<{z}> <{!z!}>allowMultiple<{z}>boolean<{z}>getset<{z}> <{!z!}><{!z!!}>
Menu<{!!z!!}><{!z!!}>
Menu.Tray<{!!z!!}>iconHint<{z}>string<{z}>set<{z}> <{!z!}>menuType<{z}>string<{z}>set<{z}> <{!z!}><{!z!!}>
Menu.Main<{!!z!!}>menuType<{z}>string<{z}>set<{z}> <{!z!}><{!z!!}>
Menu.Context<{!!z!!}>menuType<{z}>string<{z}>set<{z}> <{!z!}><{!z!!}>
Database.MySQL<{!!z!!}><{!z!!}>
Database<{!!z!!}><{!z!!}>
Database.MSAccess<{!!z!!}><{!z!!}>
Database.ADO<{!!z!!}><{!z!!}>
Database.SQLite<{!!z!!}><{!z!!}>
FileExplorer<{!!z!!}><{!z!!}>
FileExplorer.ComboBox<{!!z!!}><{!z!!}>
FileExplorer.ListView<{!!z!!}><{!z!!}>
FileExplorer.TreeView<{!!z!!}><{!z!!}>
Input.Mouse<{!!z!!}><{!z!!}>
Input.Joystick<{!!z!!}><{!z!!}>
Input.Tablet<{!!z!!}><{!z!!}>
String<{!!z!!}><{!z!!}>
@DLL<{!!z!!}><{!z!!}>
Network<{!!z!!}>IPAddress<{z}>string<{z}>getset<{z}> <{!z!}>isPresent<{z}>string<{z}>ppsv<{z}>true<{!z!}><{!z!!}>
Process<{!!z!!}><{!z!!}>
@FTP<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}>initialDir<{z}>string<{z}>getset<{z}> <{!z!}>currentDir<{z}>string<{z}>getset<{z}> <{!z!}>isConnected<{z}>boolean<{z}>getset<{z}> <{!z!}>account<{z}>string<{z}>getset<{z}> <{!z!}>async<{z}>boolean<{z}>getset<{z}> <{!z!}>error<{z}>string<{z}>getset<{z}> <{!z!}>success<{z}>boolean<{z}>getset<{z}> <{!z!}>loggerData<{z}>string<{z}>getset<{z}> <{!z!}>logger<{z}>string<{z}>set<{z}> <{!z!}>isBusy<{z}>boolean<{z}>getset<{z}> <{!z!}>lastReply<{z}>string<{z}>getset<{z}> <{!z!}>noop<{z}>string<{z}>getset<{z}> <{!z!}>passive<{z}>string<{z}>getset<{z}> <{!z!}>serverType<{z}>string<{z}>getset<{z}> <{!z!}>supportsResume<{z}>boolean<{z}>getset<{z}> <{!z!}>timeout<{z}>string<{z}>getset<{z}> <{!z!}>transferMode<{z}>string<{z}>getset<{z}> <{!z!}>transferTime<{z}>string<{z}>getset<{z}> <{!z!}>bytesTransferred<{z}>string<{z}>getset<{z}> <{!z!}><{!z!!}>
@Forms<{!!z!!}>id<{z}>string<{z}>@set<{z}>0<{!z!}>type<{z}>string<{z}>@set<{z}>standard<{!z!}>title<{z}>string<{z}>@getset<{!z!}>titleUnicode<{z}>string<{z}>@set<{!z!}>alpha<{z}>number<{z}>getset<{!z!}>baseURL<{z}>string<{z}>getset<{!z!}>bgColor<{z}>string<{z}>getset<{!z!}>isCreated<{z}>boolean<{z}>get<{!z!}>windowState<{z}>string<{z}>getset<{!z!}>x<{z}>string<{z}>getset<{!z!}>y<{z}>string<{z}>getset<{!z!}>width<{z}>string<{z}>getset<{!z!}>height<{z}>string<{z}>getset<{!z!}>visible<{z}>boolean<{z}>getset<{!z!}>name<{z}>string<{z}>get<{!z!}>style<{z}>string<{z}>set<{z}>standard<{!z!}>showMaxBtn<{z}>boolean<{z}>set<{!z!}>showMinBtn<{z}>boolean<{z}>set<{!z!}>showSysBtn<{z}>boolean<{z}>set<{!z!}>leftMouseBtn<{z}>boolean<{z}>set<{!z!}><{!z!!}>
COMPort<{!!z!!}>initialDTR<{z}>string<{z}>getset<{z}>-1<{!z!}>initialRTS<{z}>string<{z}>getset<{z}> <{!z!}>txBuffer<{z}>integer<{z}>set<{z}> <{!z!}>rxBuffer<{z}>integer<{z}>set<{z}> <{!z!}>ports<{z}>string<{z}>getset<{z}> <{!z!}><{!z!!}>
Flash<{!z!!}>
FileSystem<{!z!!}>
Network.UDP.Socket<{!z!!}>
Network.TCP.Socket<{!z!!}>
System.DirectX<{!z!!}>
Network.Mail<{!z!!}>
Dialogs.BrowseFolder<{!!z!!}>defaultDirectory<{z}>string<{z}>getset<{z}> <{!z!}>title<{z}>string<{z}>getset<{z}> <{!z!}><{!z!!}>
System.JScript<{!z!!}>
System.VBScript<{!z!!}>
Encryption<{!z!!}>
Image<{!z!!}>
Image.ScreenCapture<{!z!!}>
Exception<{!z!!}>
Exception.DebugWindow<{!z!!}>
Network.UDP.TFTP<{!z!!}>
Network.HTTPD<{!z!!}>
System.Registry<{!z!!}>
Network.TCP.ProxyHTTP<{!z!!}>
Clipboard<{!z!!}>
Input.Twain<{!z!!}>
Application.Library<{!z!!}>
Network.TCP.FileServer<{!z!!}>
Application.Timer<{!z!!}>
FileSystem.BinaryFile<{!z!!}>
@HTTP<{!!z!!}>id<{z}>integer<{z}>set<{z}>-1<{!z!}><{!z!!}>
Audio<{!!z!!}><{!z!!}>
)golden";

DeclarationValues sampleValues() {
  DeclarationValues values;
  values.executablePath = L"C:\\Program Files\\Demo\\demo.exe";
  values.executablePathShort = values.executablePath;
  values.screenWidth = 1280;
  values.screenHeight = 1024;
  values.tempPath = L"C:\\Temp\\";
  for (size_t i = 0; i < values.folders.size(); ++i) values.folders[i] = L"F" + std::to_wstring(i);
  return values;
}

// The folder table in declaration order, with the sample paths (F + folder number).
const wchar_t kSamplePaths[] =
    L"System.Paths<{!!z!!}>"
    L"programs<{z}>string<{z}>ppsv<{z}>F0\\<{!z!}>"
    L"programFiles<{z}>string<{z}>ppsv<{z}>F1\\<{!z!}>"
    L"windows<{z}>string<{z}>ppsv<{z}>F2\\<{!z!}>"
    L"system<{z}>string<{z}>ppsv<{z}>F3\\<{!z!}>"
    L"temp<{z}>string<{z}>ppsv<{z}>C:\\Temp\\<{!z!}>"
    L"desktop<{z}>string<{z}>ppsv<{z}>F4\\<{!z!}>"
    L"personal<{z}>string<{z}>ppsv<{z}>F5\\<{!z!}>"
    L"favorites<{z}>string<{z}>ppsv<{z}>F6\\<{!z!}>"
    L"startup<{z}>string<{z}>ppsv<{z}>F7\\<{!z!}>"
    L"recent<{z}>string<{z}>ppsv<{z}>F8\\<{!z!}>"
    L"fonts<{z}>string<{z}>ppsv<{z}>F9\\<{!z!}>"
    L"history<{z}>string<{z}>ppsv<{z}>F10\\<{!z!}>"
    L"cookies<{z}>string<{z}>ppsv<{z}>F11\\<{!z!}>"
    L"network<{z}>string<{z}>ppsv<{z}>F12\\<{!z!}>"
    L"startMenu<{z}>string<{z}>ppsv<{z}>F13\\<{!z!}>"
    L"appData<{z}>string<{z}>ppsv<{z}>F14\\<{!z!}>"
    L"commonAdminTools<{z}>string<{z}>ppsv<{z}>F15\\<{!z!}>"
    L"commonAppData<{z}>string<{z}>ppsv<{z}>F16\\<{!z!}>"
    L"commonPrograms<{z}>string<{z}>ppsv<{z}>F17\\<{!z!}>"
    L"commonStartMenu<{z}>string<{z}>ppsv<{z}>F18\\<{!z!}>"
    L"commonStartup<{z}>string<{z}>ppsv<{z}>F19\\<{!z!}>"
    L"allUsersAppData<{z}>string<{z}>ppsv<{z}>F16\\<{!z!}>"
    L"allUsersPrograms<{z}>string<{z}>ppsv<{z}>F17\\<{!z!}>"
    L"allUsersStartMenu<{z}>string<{z}>ppsv<{z}>F18\\<{!z!}>"
    L"allUsersStartup<{z}>string<{z}>ppsv<{z}>F19\\<{!z!}>"
    L"<{!z!!}>";

std::wstring expectedFixedPart() {
  std::wstring golden = kGoldenFixedClasses;
  replaceAll(golden, L"\n", L"");
  replaceAll(golden, L"@PATH@", L"C:\\Program Files\\Demo\\");
  replaceAll(golden, L"@FILE@", L"demo.exe");
  replaceAll(golden, L"@W@", L"1280");
  replaceAll(golden, L"@H@", L"1024");
  replaceAll(golden, L"@PATHS@", kSamplePaths);
  return golden;
}

TEST(DeclarationString, WithoutExtensionsIsTheEmptyExtensionsClassThenTheFixedTable) {
  const std::wstring declaration = buildDeclarationString({L"vor.Application"}, sampleValues());
  EXPECT_EQ(declaration, L"Extensions<{!!z!!}><{!z!!}>" + expectedFixedPart());
  EXPECT_EQ(declaration.rfind(L"Extensions<{!!z!!}><{!z!!}>GlobalVariables<{!!z!!}>", 0), 0u);
}

TEST(DeclarationString, ExtensionModulesDeclareTheirClassesInNameOrder) {
  const std::wstring declaration = buildDeclarationString(
      {L"vor.Application", L"vor.Extensions", L"vor.Extensions.Demo", L"vor.Extensions.Serial",
       L"vor.ExtensionsXY"},
      sampleValues());
  EXPECT_EQ(declaration, L"Extensions<{!!z!!}><{!z!!}>"
                         L"Extensions.Demo<{!!z!!}><{!z!!}>"
                         L"Extensions.Serial<{!!z!!}><{!z!!}>"
                         L"Extensions.Y<{!!z!!}><{!z!!}>" +
                             expectedFixedPart());
}

TEST(DeclarationString, ApplicationPathCases) {
  struct Case {
    std::wstring executable, path, filename;
  };
  const Case cases[] = {
      {L"C:\\demo.exe", L"C:\\", L"demo.exe"},
      {L"\\\\server\\share\\demo.exe", L"\\server\\share\\", L"demo.exe"},
      {L"D:\\a\\b\\run.exe", L"D:\\a\\b\\", L"run.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(declaredApplicationPath(c.executable), c.path) << c.executable;
    EXPECT_EQ(declaredApplicationFilename(c.executable), c.filename) << c.executable;
  }
}

TEST(DeclarationString, SystemValuesAreReadFromTheRunningSystem) {
  const DeclarationValues values = DeclarationValues::fromSystem();
  EXPECT_EQ(values.screenWidth, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(values.screenWidth, 0);
  EXPECT_NE(values.executablePath.find(L"bridge_declaration_tests"), std::wstring::npos);
  EXPECT_EQ(values.folders[static_cast<size_t>(SpecialFolder::Windows)], specialFolderPath(36));
  ASSERT_FALSE(values.tempPath.empty());
  EXPECT_EQ(values.tempPath.back(), L'\\');
}

// A module path of 260 characters or more comes back whole, with no terminating zero inside.
TEST(DeclarationString, ALongExecutablePathIsReadWhole) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = L"\\\\?\\" + std::wstring(temp) + L"lumo-long-" + std::to_wstring(GetCurrentProcessId());
  std::vector<std::wstring> made;
  while (folder.size() < 300) {
    if (!made.empty()) folder += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    made.push_back(folder);
  }
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring copy = folder + L"\\module.dll";
  ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
  HMODULE module = LoadLibraryExW(copy.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (module) {
    const DeclarationValues values = DeclarationValues::fromSystem(module);
    FreeLibrary(module);
    EXPECT_GT(values.executablePath.size(), 300u);
    EXPECT_EQ(values.executablePath.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(declaredApplicationFilename(values.executablePath), L"module.dll");
    EXPECT_EQ(values.executablePathShort, values.executablePath);
  }
  DeleteFileW(copy.c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
  if (!module) GTEST_SKIP() << "this system does not load a module from a path that long";
}

// Through the engine: result encoding doubles the path backslashes only for a form that is
// not EI-ready.
TEST(DeclarationString, InitialiseDoublesBackslashesUntilTheFormIsEIReady) {
  CommandEngine engine;
  engine.setDeclarationSource(sampleValues);
  test::FakeForm form(0, L"main");
  engine.addForm(0, &form);

  const std::wstring before = engine.runCommand(L"vor.initialise", L"0", L"");
  EXPECT_NE(before.find(L"windows&lt;{z}&gt;string&lt;{z}&gt;ppsv&lt;{z}&gt;F2\\\\&lt;{!z!}&gt;"),
            std::wstring::npos);
  EXPECT_EQ(before.rfind(L"Extensions&lt;{!!z!!}&gt;&lt;{!z!!}&gt;GlobalVariables", 0), 0u);

  engine.runCommand(L"vor.flash9ready", L"0", L"");
  const std::wstring after = engine.runCommand(L"vor.initialise", L"0", L"");
  EXPECT_NE(after.find(L"windows&lt;{z}&gt;string&lt;{z}&gt;ppsv&lt;{z}&gt;F2\\&lt;{!z!}&gt;"),
            std::wstring::npos);
  EXPECT_NE(after.find(L"C:\\Program Files\\Demo\\&lt;{!z!}&gt;"), std::wstring::npos);
}

TEST(DeclarationString, InitialiseListsAnExtensionModuleRegisteredLater) {
  CommandEngine engine;
  engine.setDeclarationSource(sampleValues);
  EXPECT_EQ(engine.runCommand(L"vor.initialise", L"0", L"").find(L"Extensions.Demo"), std::wstring::npos);
  // Any module object will do: only its name is declared.
  class Named : public RuntimeModule {
   public:
    Named() : RuntimeModule(L"vor.Extensions.Demo", L"1.0", L"", true) {}
    bool registerMethods() override { return true; }
    void poll() override {}
  } demo;
  engine.registerModule(demo.name, &demo);
  EXPECT_NE(engine.runCommand(L"vor.initialise", L"0", L"").find(L"Extensions.Demo&lt;{!!z!!}&gt;"),
            std::wstring::npos);
}

}  // namespace
}  // namespace lumo
