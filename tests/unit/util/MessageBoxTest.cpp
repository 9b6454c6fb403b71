// The runtime's message box: the flag-to-style and answer tables through a recording routine,
// and real boxes under Wine driven from outside by uidriver (relabelled Abort/Ignore, OK).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "StartProcess.h"
#include "util/MessageBoxHelper.h"

namespace lumo {
namespace {

struct Recorded {
  HWND owner = nullptr;
  std::wstring text, caption;
  UINT style = 0;
  int answerButton = IDOK;
};
Recorded recorded;

int WINAPI recordingBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  recorded.owner = owner;
  recorded.text = text;
  recorded.caption = caption;
  recorded.style = style;
  return recorded.answerButton;
}

class RecordedMessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    recorded = {};
    previous_ = MessageBoxHelper::instance().setRoutine(&recordingBox);
  }
  void TearDown() override { MessageBoxHelper::instance().setRoutine(previous_); }
  MessageBoxRoutine previous_ = nullptr;
};

TEST_F(RecordedMessageBox, FlagsMapToStylesOnlyForTheListedValues) {
  struct Case {
    unsigned flags;
    UINT style;
  };
  const Case cases[] = {
      {0x0001, MB_ICONQUESTION},
      {0x0002, MB_ICONHAND},
      {0x0004, MB_ICONASTERISK},
      {0x0008, MB_ICONEXCLAMATION},
      {0x0003, 0},  // two icons at once: none
      {0x0100, MB_OK},
      {0x0200, MB_OKCANCEL},
      {0x0400, MB_RETRYCANCEL},
      {0x0800, MB_YESNO},
      {0x1000, MB_YESNOCANCEL},
      {0x2000, MB_OKCANCEL},
      {0x0600, 0},  // two button sets at once: none
      {0x0108, MB_OK | MB_ICONEXCLAMATION},
      {0x2001, MB_OKCANCEL | MB_ICONQUESTION},
      {0x0C04, MB_ICONASTERISK},
  };
  for (const Case& c : cases) {
    MessageBoxHelper::instance().show(L"text", L"caption", c.flags);
    EXPECT_EQ(recorded.style, c.style) << std::hex << c.flags;
  }
  EXPECT_EQ(recorded.owner, GetDesktopWindow());
  EXPECT_EQ(recorded.text, L"text");
  EXPECT_EQ(recorded.caption, L"caption");
}

TEST_F(RecordedMessageBox, ButtonsMapToAnswerCodes) {
  struct Case {
    unsigned flags;
    int button, answer;
  };
  const Case cases[] = {
      {0x0100, IDOK, 16},   {0x0200, IDCANCEL, 2}, {0x0100, IDABORT, 1},  {0x0400, IDRETRY, 32},
      {0x0100, IDIGNORE, 4}, {0x0800, IDYES, 64},  {0x0800, IDNO, 8},     {0x0100, 0, 128},
      {0x0100, IDCLOSE, 128}, {0x2000, IDOK, 1},    {0x2000, IDCANCEL, 4}, {0x2000, 0, 128},
  };
  for (const Case& c : cases) {
    recorded.answerButton = c.button;
    EXPECT_EQ(MessageBoxHelper::instance().show(L"t", L"c", c.flags), c.answer)
        << std::hex << c.flags << " button " << c.button;
  }
}

TEST_F(RecordedMessageBox, OwnerIsKeptWhenGiven) {
  HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  MessageBoxHelper::instance().show(L"t", L"c", 0, owner);
  EXPECT_EQ(recorded.owner, owner);
}

// Runs uidriver.exe (next to this program) and returns its exit code and output.
struct DriverResult {
  DWORD exitCode = 1;
  std::string output;
};

std::wstring uidriverPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.rfind(L'\\') + 1) + L"uidriver.exe";
}

DriverResult runDriver(const std::wstring& arguments) {
  DriverResult result;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + uidriverPath() + L"\" " + arguments;
  if (lumo::test::startProcess(nullptr, commandLine.data(), TRUE, CREATE_NO_WINDOW, nullptr, &startup, &process)) {
    CloseHandle(writeEnd);
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) result.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 10000);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    CloseHandle(writeEnd);
  }
  CloseHandle(readEnd);
  return result;
}

class LiveMessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetFileAttributesW(uidriverPath().c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "uidriver.exe is not built next to the tests";
    static int boxes = 0;
    caption_ = L"lumo box " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++boxes);
  }

  // Shows the box on this thread while another process dumps it and another thread presses
  // `button` the way uidriver's click does (WM_COMMAND from the button). The press is made here,
  // not by a second process, so a process Wine fails to start cannot leave the box open and the
  // test hanging.
  int showAndPress(unsigned flags, int button, DriverResult& dump) {
    std::thread driver([&] {
      dump = runDriver(L"dump --timeout 8000 --title \"" + caption_ + L"\"");
      HWND box = nullptr;
      for (ULONGLONG end = GetTickCount64() + 8000; !box && GetTickCount64() < end; Sleep(20))
        box = FindWindowW(L"#32770", caption_.c_str());
      if (box)
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    });
    const int answer = MessageBoxHelper::instance().show(L"Proceed?", caption_, flags);
    driver.join();
    return answer;
  }

  std::wstring caption_;
};

TEST_F(LiveMessageBox, AbortIgnoreBoxIsRelabelledAndItsFirstButtonAnswersAbort) {
  DriverResult dump;
  EXPECT_EQ(showAndPress(0x2001, IDOK, dump), MessageBoxAnswer::kAbort);
  ASSERT_EQ(dump.exitCode, 0u) << dump.output;
  EXPECT_NE(dump.output.find("child 1 Button \"&Abort\""), std::string::npos) << dump.output;
  EXPECT_NE(dump.output.find("child 2 Button \"&Ignore\""), std::string::npos) << dump.output;
}

TEST_F(LiveMessageBox, AbortIgnoreSecondButtonAnswersIgnoreAndTheHookIsGone) {
  DriverResult dump;
  EXPECT_EQ(showAndPress(0x2000, IDCANCEL, dump), MessageBoxAnswer::kIgnore);
  // A later plain OK/Cancel box keeps its own labels.
  EXPECT_EQ(showAndPress(0x0200, IDCANCEL, dump), MessageBoxAnswer::kCancel);
  EXPECT_NE(dump.output.find("child 1 Button \"OK\""), std::string::npos) << dump.output;
}

TEST_F(LiveMessageBox, TwoIconFlagsGiveAPlainOkBoxAnsweringSixteen) {
  DriverResult dump;
  EXPECT_EQ(showAndPress(0x0003, IDOK, dump), MessageBoxAnswer::kOk);
  ASSERT_EQ(dump.exitCode, 0u) << dump.output;
  EXPECT_NE(dump.output.find("child 1 Button"), std::string::npos) << dump.output;
  EXPECT_EQ(dump.output.find("child 2 Button"), std::string::npos) << dump.output;
}

}  // namespace
}  // namespace lumo
