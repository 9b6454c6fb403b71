#include "FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumo::builder {

namespace fs = std::filesystem;

namespace {

std::FILE* openFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wide(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wide.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

int processId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

// The output is a program: on the host give it the execute bits a linker would.
void markExecutable([[maybe_unused]] const fs::path& path) {
#ifndef _WIN32
  const mode_t mask = umask(0);
  umask(mask);
  chmod(path.c_str(), 0777 & ~mask);
#endif
}

bool renameOver(const fs::path& from, const fs::path& to, std::string& error) {
#ifdef _WIN32
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  error = std::system_category().message(static_cast<int>(GetLastError()));
  return false;
#else
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) error = ec.message();
  return !ec;
#endif
}

}  // namespace

fs::path pathFromUtf8(std::string_view utf8) {
  std::u8string text(utf8.begin(), utf8.end());
  for (auto& c : text) {
    if (c == u8'\\') c = u8'/';
  }
  return fs::path(text);
}

std::string pathToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::optional<Bytes> readFile(const fs::path& path, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = "is a folder, not a file";
    return std::nullopt;
  }
  std::FILE* file = openFile(path, "rb");
  if (!file) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  Bytes bytes;
  std::uint8_t chunk[64 * 1024];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = "read error";
    return std::nullopt;
  }
  return bytes;
}

bool replaceFile(const fs::path& target, std::span<const std::span<const std::uint8_t>> parts, std::string& error) {
  fs::path temporary = target;
  temporary += ".lumo-" + std::to_string(processId()) + ".tmp";
  std::FILE* file = openFile(temporary, "wb");
  if (!file) {
    error = pathToUtf8(temporary) + ": " + std::strerror(errno);
    return false;
  }
  bool written = true;
  for (const auto& part : parts) {
    written = written && std::fwrite(part.data(), 1, part.size(), file) == part.size();
  }
  written = std::fclose(file) == 0 && written;
  std::error_code ignored;
  if (!written) {
    error = pathToUtf8(temporary) + ": write failed (disk full?)";
    fs::remove(temporary, ignored);
    return false;
  }
  markExecutable(temporary);
  if (!renameOver(temporary, target, error)) {
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

fs::path ownExecutable() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return fs::path(buffer.substr(0, n));
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec);
#endif
}

}  // namespace lumo::builder
