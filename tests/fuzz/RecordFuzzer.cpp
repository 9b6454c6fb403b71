// Fuzzes the record reader with the bytes that follow the marker, then every accessor that
// unscrambles, inflates or deciphers what was read.
#include "ProjectSettings.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // fmemopen refuses a buffer of 0 bytes; an empty record is one extra zero byte short.
  static const std::uint8_t kNothing = 0;
  std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(size ? data : &kNothing), size ? size : 1, "rb");
  if (!stream) return 0;
  if (!size) std::fgetc(stream);
  lumo::record::ProjectSettings settings;
  const bool read = settings.read(stream);
  std::fclose(stream);
  // The runtime drops a record that failed to load; what it uses is a loaded one.
  if (!read) return 0;
  for (const auto& form : settings.forms) {
    (void)form->movieBytes();
    (void)form->previewMovieBytes();
    (void)form->movieVersion();
    (void)form->maskImage();
  }
  for (const auto& blob : settings.extensions()) (void)lumo::record::content(blob);
  for (const auto& [name, blob] : settings.libraryFiles) (void)lumo::record::content(blob);
  for (const auto& [name, value] : settings.secureVariables) (void)settings.secureVar(name);
  for (const auto& [name, value] : settings.globalVariables) (void)settings.globalVar(name);
  (void)settings.splashImage();
  (void)settings.trayIconImage();
  return 0;
}
