// Helpers of the record tests: a record in a temporary file, and a settings object that
// fills every field so that versions show exactly which fields they carry.
#pragma once

#include "ProjectSettings.h"
#include "RecordWriter.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace lumo::record::test {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A new file of its own in the temporary folder. tmpfile() is not used: its names come from a
// per-process counter, so test programs running side by side open each other's files.
inline std::wstring uniqueTempPath() {
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return GetTempFileNameW(folder, L"lrt", 0, path) ? path : L"";
}

// A temporary file holding `bytes`, positioned at its start; deleted when closed.
inline FilePtr fileWith(const Bytes& bytes) {
  const std::wstring path = uniqueTempPath();
  FilePtr file(path.empty() ? nullptr : _wfopen(path.c_str(), L"w+bD"));
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
  }
  return file;
}

inline bool readRecord(const Bytes& bytes, ProjectSettings& settings) {
  FilePtr file = fileWith(bytes);
  return file && settings.read(file.get());
}

inline Bytes bytesOf(const char* text) {
  return Bytes(text, text + std::char_traits<char>::length(text));
}

// A record whose every field differs from its default.
inline ProjectSettings fullSettings(int version, int formVersion) {
  ProjectSettings s;
  s.version = version;
  s.projectMode = 2;
  s.title = L"Full project \u00e9\u4e2d";
  s.trayIconAtStart = true;
  s.showInTaskbar = true;
  s.splashEnabled = true;
  s.splashWidth = 320;
  s.splashHeight = 200;
  s.splashDuration = 1500;
  auto form = std::make_unique<FormDescription>();
  FormDescription& f = *form;
  f.formVersion = formVersion;
  f.name = L"main";
  f.centred = true;
  f.x = 10; f.y = 20; f.sizeUnit = 1; f.width = 640; f.height = 480;
  f.windowKind = 2; f.borderStyle = 3;
  f.maximizeBox = f.minimizeBox = f.systemMenu = true;
  f.startState = 2;
  f.scaleEnabled = f.scaleShowAll = f.visibleAtStart = f.alwaysOnTop = true;
  f.alpha = 200; f.fadeStepMs = 15; f.fadeIn = 1; f.fadeOut = 1;
  f.escapeCloses = f.altF4Closes = true;
  f.movie = StoredBlock::fromPlain(bytesOf("FWS\x09movie bytes"), BlockKind::Movie);
  f.maskPicture = PackedBlock::pack(bytesOf("BM mask picture"), BlockKind::Mask);
  f.playerBackground = 0x00112233;
  f.popupFrame = false;
  f.leftButtonMode = 1; f.middleButtonMode = 2; f.rightButtonMode = 3;
  f.windowTitle = L"Main window";
  f.positionUnit = 1;
  f.previewMovie = StoredBlock::fromPlain(bytesOf("FWS\x08preview"), BlockKind::Movie);
  f.fixedMovieSize = true;
  f.backgroundColour = 0x00445566;
  f.movieWidth = 550; f.movieHeight = 400;
  s.forms.push_back(std::move(form));
  s.extensionBlobs.push_back(ScrambledBlob{7, StoredBlock::fromPlain(bytesOf("MZ extension"), BlockKind::Blob)});
  s.secureVariables[L"apiKey"].set(L"s3cret");
  s.libraryFiles[L"data.txt"] = ScrambledBlob{0, StoredBlock::fromPlain(bytesOf("library text"), BlockKind::Blob)};
  s.passwordRequired = true;
  s.splashPicture = PackedBlock::pack(bytesOf("BM splash picture"), BlockKind::Splash);
  s.password = L"Open Sesame";
  s.trayIconPicture = PackedBlock::pack(bytesOf("tray icon picture"), BlockKind::TrayIcon);
  s.globalVariables[L"lang"].set(L"en");
  return s;
}

}  // namespace lumo::record::test
