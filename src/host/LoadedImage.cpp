// Lookups in a mapped image and its release: detach notifications, function table, memory,
// then the libraries its imports loaded.
#include "host/LoadedImage.h"

#include <cstring>

#include "host/ResourceLookup.h"
#include "host/ThreadNotifications.h"

namespace lumo {

LoadedImage::~LoadedImage() {
  if (threadNotifications_) ThreadNotifications::remove(this);
  if (attached_) {
    notify(DLL_THREAD_DETACH);
    notify(DLL_PROCESS_DETACH);
  }
  staticTls_.reset();  // the image's detach code may still have used its TLS
#ifdef _WIN64
  if (functionTable_) RtlDeleteFunctionTable(static_cast<RUNTIME_FUNCTION*>(functionTable_));
#endif
  if (base_) VirtualFree(base_, 0, MEM_RELEASE);
  libraries_.clear();  // after the image's code is gone: nothing calls into them any more
}

bool LoadedImage::notify(DWORD reason) {
  for (PIMAGE_TLS_CALLBACK callback : tlsCallbacks_) callback(base_, reason, nullptr);
  return entry_ ? entry_(module(), reason, nullptr) != FALSE : true;
}

void LoadedImage::threadNotification(DWORD reason) {
  if (reason == DLL_THREAD_ATTACH && staticTls_) staticTls_->addCurrentThread();
  if (hearsThreads_) notify(reason);
  if (reason == DLL_THREAD_DETACH && staticTls_) staticTls_->removeCurrentThread();
}

namespace {

// The code an export address entry leads to; an address inside the export directory is a
// forwarder text, not code.
FARPROC exportedCode(uint8_t* base, size_t size, DWORD rva, DWORD directoryRva, DWORD directorySize) {
  if (rva == 0 || rva >= size || (rva >= directoryRva && rva - directoryRva < directorySize)) return nullptr;
  return reinterpret_cast<FARPROC>(base + rva);
}

}  // namespace

FARPROC LoadedImage::exportByOrdinal(WORD ordinal) const {
  if (exports_.rva == 0) return nullptr;
  const BoundedBytes image = bytes();
  const auto* directory = image.at<IMAGE_EXPORT_DIRECTORY>(exports_.rva);
  if (!directory || ordinal < directory->Base || ordinal - directory->Base >= directory->NumberOfFunctions)
    return nullptr;
  const auto* entry = image.at<DWORD>(directory->AddressOfFunctions + uint64_t{4} * (ordinal - directory->Base));
  return entry ? exportedCode(base_, size_, *entry, exports_.rva, exports_.size) : nullptr;
}

FARPROC LoadedImage::exportAddress(const char* name) const {
  if (!name || exports_.rva == 0) return nullptr;
  const BoundedBytes image = bytes();
  const auto* directory = image.at<IMAGE_EXPORT_DIRECTORY>(exports_.rva);
  if (!directory) return nullptr;
  const auto* names = image.at<DWORD>(directory->AddressOfNames, directory->NumberOfNames);
  const auto* ordinals = image.at<WORD>(directory->AddressOfNameOrdinals, directory->NumberOfNames);
  const auto* functions = image.at<DWORD>(directory->AddressOfFunctions, directory->NumberOfFunctions);
  if (!names || !ordinals || !functions) return nullptr;
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    const char* exported = image.string(names[i]);
    if (!exported || std::strcmp(exported, name) != 0) continue;
    if (ordinals[i] >= directory->NumberOfFunctions) return nullptr;
    return exportedCode(base_, size_, functions[ordinals[i]], exports_.rva, exports_.size);
  }
  return nullptr;
}

std::optional<ImageResource> LoadedImage::findResource(const char* type, const char* name) const {
  const std::optional<ResourceEntry> entry = findImageResource(bytes(), resources_.rva, type, name);
  if (!entry) return std::nullopt;
  return ImageResource{base_ + entry->dataRva, entry->size, entry->language};
}

}  // namespace lumo
