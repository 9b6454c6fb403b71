#include "RuntimeCheck.h"

#include "ProjectorWriter.h"
#include "pe/PeImage.h"
#include "pe/ResourceTree.h"

#include <array>

namespace lumo::builder {

namespace {

struct CarriedResource {
  std::uint16_t id;
  const char* what;
};

// Every runtime we build carries these; a program without them cannot start a projector.
constexpr std::array<CarriedResource, 3> kRuntimeResources = {{
    {135, "the player control"},
    {137, "the bridge movie"},
    {140, "the lock library"},
}};

}  // namespace

std::optional<std::string> checkRuntime(const Bytes& runtime) {
  std::string why;
  const auto image = pe::PeImage::parse(runtime, why);
  if (!image) return why;
  if (image->isDll()) return "is a DLL, not the runtime program (lumo-runtime.exe)";
  if (image->machine() != pe::kMachineI386 && image->machine() != pe::kMachineAmd64) {
    return "is a program for " + pe::machineName(image->machine()) + ": the runtime is built for x86 or x86-64";
  }
  const auto tree = pe::readResourceTree(*image, why);
  if (!tree) return why;
  const pe::ResourceKey binType(std::u16string(u"BIN"));
  for (const auto& resource : kRuntimeResources) {
    if (!pe::findResource(*tree, binType, resource.id)) {
      return "is not the Lumo runtime: it carries no \"BIN\" " + std::to_string(resource.id) + " resource (" +
             resource.what + ")";
    }
  }
  if (holdsMarker(runtime)) return "already holds a project record (give the plain runtime, not a built projector)";
  return std::nullopt;
}

}  // namespace lumo::builder
