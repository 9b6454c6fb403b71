#include "RuntimeResources.h"

#include "Console.h"
#include "Sha256.h"
#include "pe/ControlImage.h"
#include "pe/ResourceRewriter.h"

namespace lumo::builder {

namespace {

using pe::ResourceKey;

const ResourceKey kBinType(std::u16string(u"BIN"));
constexpr std::uint16_t kVersionResource = 1;
constexpr std::uint16_t kNeutralEnglish = 0x0409;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The language the runtime's own resources use, for the ones we add.
std::uint16_t runtimeLanguage(const pe::ResourceTree& tree) {
  for (const auto& type : {ResourceKey(pe::kTypeGroupIcon), kBinType}) {
    const auto t = tree.find(type);
    if (t != tree.end() && !t->second.empty() && !t->second.begin()->second.empty()) {
      return t->second.begin()->second.begin()->first;
    }
  }
  return kNeutralEnglish;
}

// Replaces `type`/`id` in every language it has, or adds it in `language`.
void setResource(pe::ResourceTree& tree, const ResourceKey& type, std::uint16_t id, const Bytes& bytes,
                 std::uint16_t language) {
  pe::LanguageMap& languages = tree[type][ResourceKey(id)];
  if (languages.empty()) languages[language];
  for (auto& [lang, data] : languages) data = pe::ResourceData{bytes, 0};
}

bool checkPlayer(const CarriedFile& player, std::uint16_t machine, std::vector<std::string>& errors) {
  const std::string where = player.source + ": file " + quoted(player.path);
  std::string why;
  const auto image = pe::PeImage::parse(player.bytes, why);
  if (!image) {
    errors.push_back(where + " " + why);
    return false;
  }
  if (!image->isDll()) {
    errors.push_back(where + " is a program, not a DLL: give the player control's DLL");
    return false;
  }
  if (image->machine() != machine) {
    errors.push_back(where + " is a DLL for " + pe::machineName(image->machine()) + ", but the runtime is built for " +
                     pe::machineName(machine) + ": give the player control built for " + pe::machineName(machine));
    return false;
  }
  // What the runtime's loader needs of it; warnings are told now, as nothing stops on them.
  const pe::ControlImageReport report = pe::checkControlImage(*image);
  for (const std::string& refusal : report.refusals) errors.push_back(where + " " + refusal);
  for (const std::string& warning : report.warnings) writeErr("lumo: warning: " + where + " " + warning + "\n");
  return report.refusals.empty();
}

pe::VersionInfo versionInfo(const ExecutableOptions& options) {
  pe::VersionInfo info;
  const auto& v = options.version;
  // Either version stands in for the other; neither gives 0.0.0.0.
  const std::string file = v[0] ? *v[0] : v[1] ? *v[1] : "0.0.0.0";
  const std::string product = v[1] ? *v[1] : file;
  info.fileVersion = *pe::parseVersionNumber(file);
  info.productVersion = *pe::parseVersionNumber(product);
  for (std::size_t i = 0; i < kVersionKeys.size(); ++i) {
    const std::optional<std::string> value = i == 0 ? file : i == 1 ? product : v[i];
    if (value && !value->empty()) info.strings.emplace_back(kVersionKeys[i].resourceName, *value);
  }
  return info;
}

}  // namespace

std::optional<Bytes> customiseRuntime(const Bytes& runtime, const std::string& runtimeLabel,
                                      const ExecutableOptions& options, std::vector<std::string>& errors) {
  if (!options.any()) return runtime;
  std::string why;
  const auto image = pe::PeImage::parse(runtime, why);
  auto tree = image ? pe::readResourceTree(*image, why) : std::nullopt;
  if (!tree) {
    errors.push_back(runtimeLabel + ": " + why);
    return std::nullopt;
  }
  const std::uint16_t language = runtimeLanguage(*tree);
  bool ok = true;
  if (options.player) {
    if (checkPlayer(*options.player, image->machine(), errors)) {
      setResource(*tree, kBinType, kPlayerResource, options.player->bytes, language);
    } else {
      ok = false;
    }
  }
  if (options.icon) {
    if (auto images = pe::readIconFile(options.icon->bytes, why)) {
      pe::installIconGroup(*tree, kIconGroup, *images, language);
    } else {
      errors.push_back(options.icon->source + ": file " + quoted(options.icon->path) + " " + why);
      ok = false;
    }
  }
  if (options.hasVersion()) {
    setResource(*tree, ResourceKey(pe::kTypeVersion), kVersionResource, pe::writeVersionInfo(versionInfo(options)),
                language);
  }
  if (!ok) return std::nullopt;
  auto rewritten = pe::replaceResources(*image, *tree, why);
  if (!rewritten) errors.push_back(runtimeLabel + ": " + why);
  return rewritten;
}

CarriedResources readCarriedResources(pe::ByteSpan file) {
  CarriedResources carried;
  std::string why;
  const auto image = pe::PeImage::parse(file, why);
  const auto tree = image ? pe::readResourceTree(*image, why) : std::nullopt;
  if (!tree) return carried;
  if (const auto* player = pe::findResource(*tree, kBinType, ResourceKey(kPlayerResource))) {
    const auto dll = pe::PeImage::parse(player->bytes, why);
    carried.player = CarriedPlayer{player->bytes.size(), sha256Hex(player->bytes),
                                   dll ? pe::machineName(dll->machine()) : "not a Windows DLL"};
  }
  if (const auto* group = pe::findResource(*tree, ResourceKey(pe::kTypeGroupIcon), ResourceKey(kIconGroup))) {
    carried.icon = pe::readIconGroup(group->bytes);
  }
  if (const auto* version = pe::findResource(*tree, ResourceKey(pe::kTypeVersion), ResourceKey(kVersionResource))) {
    carried.version = pe::readVersionInfo(version->bytes);
  }
  return carried;
}

}  // namespace lumo::builder
