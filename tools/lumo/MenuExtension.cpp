#include "MenuExtension.h"

#include "FileChecks.h"
#include "ProjectKeys.h"
#include "pe/PeImage.h"

namespace lumo::builder {

void packMenuExtension(const std::filesystem::path& runtimePath, const Bytes& runtime,
                       record::ProjectSettings& settings, std::vector<std::string>& errors) {
  const std::filesystem::path path = (runtimePath.parent_path() / kMenuExtensionFile).lexically_normal();
  const std::string where = std::string(kMenuExtensionKey) + ": the standard menu extension \"" + pathToUtf8(path) + "\"";
  std::string why;
  auto bytes = readFile(path, why);
  if (!bytes) {
    errors.push_back(where + " cannot be read (it ships beside the runtime): " + why);
    return;
  }
  if (auto problem = checkFile(*bytes, FileCheck::Dll)) {
    errors.push_back(where + " " + *problem);
    return;
  }
  // The runtime was checked to be a PE image before this is called.
  const auto runtimeImage = pe::PeImage::parse(runtime, why);
  const auto library = pe::PeImage::parse(*bytes, why);
  if (runtimeImage && (!library || library->machine() != runtimeImage->machine())) {
    errors.push_back(where + " is not built for the runtime's architecture (" +
                     pe::machineName(runtimeImage->machine()) + ")");
    return;
  }
  settings.extensionBlobs.insert(settings.extensionBlobs.begin(),
                                 record::ScrambledBlob{0, record::StoredBlock::fromPlain(std::move(*bytes),
                                                                                         record::BlockKind::Blob)});
}

}  // namespace lumo::builder
