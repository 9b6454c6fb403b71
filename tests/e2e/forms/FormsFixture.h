// What the form tests share: movies made by lumo-movie with a script, a projector started with
// the player transcript switched on, and waiting for transcript lines.
#pragma once

#include "support/Process.h"
#include "support/ProjectFolder.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumo::e2e {

// The colour of the screen at x, y (the display's own pixels, as a screenshot shows them).
COLORREF screenPixel(int x, int y);

// A left click at a screen point, as a person makes it: the pointer moves there, then the button
// goes down and up through the system's input queue.
void clickAt(POINT at);

// Saves the whole screen as NAME.bmp in "screenshots" beside the test program, for a person
// to look at what a test saw; the path, or empty when it could not be written.
std::wstring saveScreenshot(const std::wstring& name);

// The bytes of a file built beside the test program (a test extension, for example).
std::string builtFile(const std::wstring& name);

// The text as the transcript quotes it: backslash and double quote escaped.
std::string transcriptQuoted(const std::string& text);

// Presses `button` of the message box captioned `caption` once one holding that button shows
// (a posted WM_COMMAND, as a click gives it: no focus needed, no helper process), running this
// thread's messages meanwhile; false when none came before the timeout.
bool pressBoxButton(const std::wstring& caption, int button, DWORD timeoutMs = 15000);

class FormsProjector {
 public:
  // Writes each movie (name, SWF version, script) and builds `projectJson` into app.exe.
  struct Movie {
    Movie(std::wstring movieName, std::string movieScript, int swfVersion = 9, std::string extra = {})
        : name(std::move(movieName)), script(std::move(movieScript)), version(swfVersion),
          extraArguments(std::move(extra)) {}
    std::wstring name;
    std::string script;
    int version = 9;
    std::string extraArguments;  // e.g. "--background FF0000 --size 200x100"
  };
  // `files` (name, content) are written first, for keys like maskImage.
  FormsProjector(const std::vector<Movie>& movies, const std::string& projectJson,
                 const std::vector<std::pair<std::wstring, std::string>>& files = {});

  // Fails the running test for every FAIL, error line or bad-xml line its movies wrote, so no
  // test reading a transcript passes over a failed expectation or a broken script.
  ~FormsProjector();
  FormsProjector(const FormsProjector&) = delete;
  FormsProjector& operator=(const FormsProjector&) = delete;
  // For a test that provokes such lines on purpose.
  void allowScriptFailures() { allowScriptFailures_ = true; }

  bool built() const { return built_; }
  ProjectFolder& folder() { return folder_; }
  ChildProcess& process() { return process_; }
  // Private temporary folders made since the projector was built (the running one's).
  std::vector<std::wstring> privateFolders() const { return sweeper_.created(); }
  // Starts app.exe with the transcript going to transcript.txt in the project folder;
  // `arguments` follow the program on its command line.
  bool start(const std::wstring& arguments = {});
  std::vector<std::string> transcript() const;
  // Waits until a transcript line contains `text`; false at the timeout.
  bool waitFor(const std::string& text, DWORD timeoutMs = 15000) const;
  // The form window titled `title` ("VORLUMO3WINDOW"), waiting for it to appear.
  HWND formWindow(const std::wstring& title, DWORD timeoutMs = 15000) const;

 private:
  ProjectFolder folder_;
  PrivateFolderSweeper sweeper_;
  ChildProcess process_;
  bool built_ = false;
  bool allowScriptFailures_ = false;
  std::string builderOutput_;
};

}  // namespace lumo::e2e
