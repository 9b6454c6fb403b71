// Movies, projectors and transcripts for the form tests: lumo-movie and lumo.exe run as
// child processes, and the transcript file is read whole each time.
#include "forms/FormsFixture.h"

#include "MessagePump.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace lumo::e2e {

COLORREF screenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

void clickAt(POINT at) {
  SetCursorPos(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

std::wstring saveScreenshot(const std::wstring& name) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER header{sizeof(header), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  header.biSizeImage = rowBytes * static_cast<DWORD>(height);
  std::string pixels(header.biSizeImage, '\0');
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  const bool copied = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return {};

  BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  file.bfSize = file.bfOffBits + header.biSizeImage;
  const std::filesystem::path folder = std::filesystem::path(binFolder()) / L"screenshots";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::filesystem::path path = folder / (name + L".bmp");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out ? path.wstring() : std::wstring();
}

bool pressBoxButton(const std::wstring& caption, int button, DWORD timeoutMs) {
  HWND box = nullptr;
  const auto found = [&] {
    for (box = FindWindowExW(nullptr, nullptr, L"#32770", caption.c_str()); box;
         box = FindWindowExW(nullptr, box, L"#32770", caption.c_str()))
      if (GetDlgItem(box, button)) return true;
    return false;
  };
  if (!test::pumpUntil(found, timeoutMs)) return false;
  return PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box, button))) != FALSE;
}

std::string builtFile(const std::wstring& name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  std::ifstream in(std::filesystem::path(path.substr(0, path.find_last_of(L'\\') + 1) + name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string transcriptQuoted(const std::string& text) {
  std::string quoted;
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted;
}

FormsProjector::FormsProjector(const std::vector<Movie>& movies, const std::string& projectJson,
                               const std::vector<std::pair<std::wstring, std::string>>& files) {
  for (const auto& [name, content] : files) folder_.write(name, content);
  for (const Movie& movie : movies) {
    folder_.write(movie.name + L".txt", movie.script);
    const std::wstring arguments = L"-o " + quote(folder_.file(movie.name)) + L" --version " +
                                   std::to_wstring(movie.version) + L" --script " +
                                   quote(folder_.file(movie.name + L".txt")) + L" " +
                                   std::wstring(movie.extraArguments.begin(), movie.extraArguments.end());
    if (run(binFolder() + L"\\lumo-movie.exe", arguments, folder_.path()).exitCode != 0) return;
  }
  built_ = folder_.build(projectJson, L"app.exe", &builderOutput_) == 0;
}

FormsProjector::~FormsProjector() {
  if (allowScriptFailures_) return;
  for (const std::string& line : transcript()) {
    if (line.rfind("FAIL ", 0) == 0 || line.rfind("error line ", 0) == 0 || line.rfind("bad-xml ", 0) == 0)
      ADD_FAILURE() << "the movie's transcript says: " << line.substr(0, 400);
  }
}

bool FormsProjector::start(const std::wstring& arguments) {
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", folder_.file(L"transcript.txt").c_str());
  const bool started = process_.start(folder_.file(L"app.exe"), arguments, folder_.path());
  SetEnvironmentVariableW(L"LUMO_PLAYER_TRANSCRIPT", nullptr);
  return started;
}

std::vector<std::string> FormsProjector::transcript() const {
  std::ifstream file(std::filesystem::path(folder_.file(L"transcript.txt")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool FormsProjector::waitFor(const std::string& text, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    for (const std::string& line : transcript())
      if (line.find(text) != std::string::npos) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

HWND FormsProjector::formWindow(const std::wstring& title, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    if (HWND window = FindWindowW(L"VORLUMO3WINDOW", title.c_str())) return window;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

}  // namespace lumo::e2e
