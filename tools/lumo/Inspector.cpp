#include "Inspector.h"

#include "ProjectKeys.h"
#include "Sha256.h"
#include "Utf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace lumo::builder {

using Json = nlohmann::ordered_json;
using record::FormDescription;
using record::ProjectSettings;

namespace {

Json fileInfo(const record::Bytes& bytes) {
  Json info;
  info["size"] = bytes.size();
  info["sha256"] = sha256Hex(bytes);
  return info;
}

Json fileInfo(const record::StoredBlock& block, record::BlockKind kind) {
  return block.empty() ? Json(nullptr) : fileInfo(block.plain(kind));
}

Json fileInfo(const record::PackedBlock& block, record::BlockKind kind) {
  if (block.empty()) return nullptr;
  const auto plain = block.unpack(kind);
  if (!plain) return Json{{"storedSize", block.stored.size()}, {"error", "does not unpack"}};
  return fileInfo(*plain);
}

Json colour(std::int32_t value) {
  if (value < 0 || value > 0xFFFFFF) return value;
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
  return text;
}

template <typename Owner>
Json valueOf(const KeyRule<Owner>& rule, const Owner& owner) {
  switch (rule.kind) {
    case KeyKind::Integer: return owner.*std::get<std::int32_t Owner::*>(rule.field);
    case KeyKind::Choice: {
      const std::int32_t v = owner.*std::get<std::int32_t Owner::*>(rule.field);
      if (v >= 0 && static_cast<std::size_t>(v) < rule.names.size()) return rule.names[static_cast<std::size_t>(v)];
      return v;
    }
    case KeyKind::Flag: return owner.*std::get<bool Owner::*>(rule.field);
    case KeyKind::FlagInt: {
      const std::int32_t v = owner.*std::get<std::int32_t Owner::*>(rule.field);
      return v == 0 || v == 1 ? Json(v == 1) : Json(v);
    }
    case KeyKind::Text: return record::toUtf8(owner.*std::get<std::wstring Owner::*>(rule.field));
    case KeyKind::Colour: return colour(owner.*std::get<std::int32_t Owner::*>(rule.field));
    case KeyKind::File:
      if (std::holds_alternative<record::PackedBlock Owner::*>(rule.field)) {
        return fileInfo(owner.*std::get<record::PackedBlock Owner::*>(rule.field), rule.blockKind);
      }
      return fileInfo(owner.*std::get<record::StoredBlock Owner::*>(rule.field), rule.blockKind);
  }
  return nullptr;
}

Json variables(const std::map<std::wstring, record::ProtectedString>& table) {
  Json out = Json::object();
  for (const auto& [name, value] : table) out[record::toUtf8(name)] = record::toUtf8(value.get());
  return out;
}

Json player(const std::optional<CarriedPlayer>& player) {
  if (!player) return nullptr;
  return Json{{"size", player->size}, {"sha256", player->sha256}, {"machine", player->machine}};
}

Json icon(const std::optional<std::vector<pe::IconImage>>& images) {
  if (!images) return nullptr;
  Json list = Json::array();
  for (const auto& image : *images) {
    list.push_back(Json{{"width", image.width}, {"height", image.height}, {"bitCount", image.bitCount}});
  }
  return Json{{"images", std::move(list)}};
}

// The version keys of a project file; strings of other names are shown under their own.
Json versionInfo(const std::optional<pe::VersionInfo>& info) {
  if (!info) return nullptr;
  Json out = Json::object();
  for (const auto& [name, value] : info->strings) {
    const auto key = std::find_if(kVersionKeys.begin(), kVersionKeys.end(),
                                  [&](const VersionKey& k) { return name == k.resourceName; });
    out[key != kVersionKeys.end() ? key->key : name] = value;
  }
  return out;
}

}  // namespace

std::string describeProject(const ProjectSettings& settings, const CarriedResources& carried) {
  Json out;
  out["version"] = settings.version;
  out[kPlayerKey] = player(carried.player);
  out[kIconKey] = icon(carried.icon);
  out[kVersionInfoKey] = versionInfo(carried.version);
  for (const auto& rule : projectKeys()) out[rule.key] = valueOf(rule, settings);
  out[kExtensionsKey] = Json::array();
  for (const auto& blob : settings.extensions()) out[kExtensionsKey].push_back(fileInfo(record::content(blob)));
  out[kLibraryFilesKey] = Json::object();
  for (const auto& [name, blob] : settings.libraryFiles) out[kLibraryFilesKey][record::toUtf8(name)] = fileInfo(record::content(blob));
  out[kSecureVariablesKey] = variables(settings.secureVariables);
  out[kGlobalVariablesKey] = variables(settings.globalVariables);
  out[kFormsKey] = Json::array();
  for (const auto& form : settings.forms) {
    Json f;
    f["formVersion"] = form->formVersion;
    for (const auto& rule : formKeys()) f[rule.key] = valueOf(rule, *form);
    out[kFormsKey].push_back(std::move(f));
  }
  // Texts from a record may hold invalid UTF-8 only if converted badly; replace, never throw.
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace lumo::builder
