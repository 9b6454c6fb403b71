// The project settings record: the project, its forms and the files it carries, read from
// the bytes after the marker in a built projector. Blocks stay scrambled in memory; every
// accessor hands out a fresh plain copy.
#pragma once

#include "ProtectedString.h"
#include "RecordFormat.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumo::record {

using Bytes = std::vector<std::uint8_t>;
// A file's name as the system's file functions take it (std::filesystem::path converts to it).
// Not a path object: the runtime would link the library's whole locale machinery for it.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// Bytes left in a file until they are used: a library file stays in the executable, which is
// only read where a movie extracts it, so a large library costs no memory at start-up.
struct FileSlice {
  std::shared_ptr<const NativePath> file;
  std::int64_t offset = 0;
  std::int32_t size = 0;
  // The bytes; nothing when the file cannot give them all (removable or network media gone).
  std::optional<Bytes> read() const;
};

// A block as stored: scrambled by the block transformation of its kind. Its bytes are either
// held (`stored`) or left in the file they were read from (`slice`).
struct StoredBlock {
  Bytes stored;
  FileSlice slice;

  static StoredBlock fromPlain(Bytes plain, BlockKind kind);
  Bytes storedBytes() const { return slice.file ? slice.read().value_or(Bytes{}) : stored; }
  // The plain bytes; nothing when the file holding them cannot give them all.
  std::optional<Bytes> readPlain(BlockKind kind) const;
  Bytes plain(BlockKind kind) const { return readPlain(kind).value_or(Bytes{}); }
  bool empty() const { return stored.empty() && slice.size <= 0; }
};

// A packed block: a zlib stream of `unpackedLength` bytes, stored scrambled.
struct PackedBlock {
  std::int32_t unpackedLength = 0;
  Bytes stored;

  static PackedBlock pack(const Bytes& plain, BlockKind kind);
  // The unpacked bytes; nullopt when the stream is corrupt or does not inflate to exactly
  // unpackedLength bytes. An empty block unpacks to no bytes.
  std::optional<Bytes> unpack(BlockKind kind) const;
  bool empty() const { return stored.empty(); }
};

// An embedded file (extension module or library file): a tag and a block.
struct ScrambledBlob {
  std::int32_t tag = 0;
  StoredBlock block;
};

struct FormDescription {
  std::int32_t formVersion = 0;
  std::wstring name;
  bool centred = false;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t sizeUnit = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t windowKind = 0;
  std::int32_t borderStyle = 0;
  bool maximizeBox = false;
  bool minimizeBox = false;
  bool systemMenu = false;
  std::int32_t startState = 0;
  bool scaleEnabled = false;
  bool scaleShowAll = false;
  bool visibleAtStart = false;
  bool alwaysOnTop = false;
  std::int32_t alpha = 0;
  std::int32_t fadeStepMs = 0;
  std::int32_t fadeIn = 0;
  std::int32_t fadeOut = 0;
  bool escapeCloses = false;
  bool altF4Closes = false;
  StoredBlock movie;
  PackedBlock maskPicture;
  std::int32_t playerBackground = 0;
  bool popupFrame = true;
  std::int32_t leftButtonMode = 0;
  std::int32_t middleButtonMode = 0;
  std::int32_t rightButtonMode = 0;
  std::wstring windowTitle = L"form";
  std::int32_t positionUnit = 0;
  StoredBlock previewMovie;
  bool fixedMovieSize = false;
  std::int32_t backgroundColour = 0;
  std::int32_t movieWidth = 0;
  std::int32_t movieHeight = 0;

  Bytes movieBytes() const { return movie.plain(BlockKind::Movie); }
  Bytes previewMovieBytes() const { return previewMovie.plain(BlockKind::Movie); }
  // The SWF version: byte 3 of the movie; 0 for a movie shorter than 4 bytes.
  int movieVersion() const;
  void setMovieVersion(int version);
  bool writeMovieTo(const NativePath& path) const;
  std::optional<Bytes> maskImage() const { return maskPicture.unpack(BlockKind::Mask); }
};

class ProjectSettings {
 public:
  std::int32_t version = 0;
  std::int32_t projectMode = 0;  // 0 application, 1 screensaver, 2 kiosk
  std::wstring title;
  bool trayIconAtStart = false;
  bool showInTaskbar = false;
  bool splashEnabled = false;
  std::int32_t splashWidth = 0;
  std::int32_t splashHeight = 0;
  std::int32_t splashDuration = 0;
  std::vector<std::unique_ptr<FormDescription>> forms;
  std::vector<ScrambledBlob> extensionBlobs;
  std::map<std::wstring, ProtectedString> secureVariables;
  std::map<std::wstring, ScrambledBlob> libraryFiles;
  bool passwordRequired = false;
  PackedBlock splashPicture;
  std::wstring password;
  PackedBlock trayIconPicture;
  std::map<std::wstring, ProtectedString> globalVariables;

  // Opens `path`, finds the first marker and reads the record after it.
  bool loadFromExecutable(const NativePath& path);
  // Reads the record from `stream`, positioned just after the marker. On failure whatever
  // was read so far stays in the object. With `source` (the file the stream reads) library
  // files are left there until they are used.
  bool read(std::FILE* stream, std::shared_ptr<const NativePath> source = nullptr);

  const std::vector<ScrambledBlob>& extensions() const { return extensionBlobs; }
  const ScrambledBlob* libraryFile(const std::wstring& name) const;
  std::optional<std::wstring> secureVar(const std::wstring& name) const;
  std::optional<std::wstring> globalVar(const std::wstring& name) const;
  std::optional<Bytes> splashImage() const { return splashPicture.unpack(BlockKind::Splash); }
  std::optional<Bytes> trayIconImage() const { return trayIconPicture.unpack(BlockKind::TrayIcon); }
};

// The content of an embedded file: its plain bytes, empty when they cannot be read.
inline Bytes content(const ScrambledBlob& blob) { return blob.block.plain(BlockKind::Blob); }
// The same, telling an unreadable file from an empty one.
inline std::optional<Bytes> readContent(const ScrambledBlob& blob) { return blob.block.readPlain(BlockKind::Blob); }

}  // namespace lumo::record
