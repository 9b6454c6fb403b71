#include "ProjectReader.h"

#include "FileBytes.h"
#include "FileChecks.h"
#include "ProjectKeys.h"
#include "Utf.h"
#include "pe/VersionInfo.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace lumo::builder {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using record::FormDescription;
using record::ProjectSettings;

namespace {

std::string jsonQuoted(std::string_view text) { return Json(std::string(text)).dump(); }

std::string member(const std::string& parent, std::string_view key) {
  return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}
std::string entry(const std::string& parent, std::string_view name) { return parent + "[" + jsonQuoted(name) + "]"; }
std::string item(const std::string& parent, std::size_t index) { return parent + "[" + std::to_string(index) + "]"; }

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      const bool same = std::tolower(a[i - 1]) == std::tolower(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

std::string typeName(const Json& value) {
  if (value.is_number_float()) return "a fractional number";
  if (value.is_number()) return "a number";
  if (value.is_boolean()) return "true/false";
  return std::string("a") + (value.is_object() || value.is_array() ? "n " : " ") + value.type_name();
}

std::string describeChoice(std::span<const char* const> names) {
  std::string text = "0 to " + std::to_string(names.size() - 1) + " or one of";
  for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : " ") + jsonQuoted(names[i]);
  return text;
}

class Reader {
 public:
  Reader(fs::path baseDir, std::string label, std::vector<std::string>& errors)
      : baseDir_(std::move(baseDir)), label_(std::move(label)), errors_(errors) {}

  void readProject(const Json& doc, ProjectSettings& settings, ExecutableOptions& executable, bool& menuExtension) {
    settings.version = record::kHighestRecordVersion;
    if (!doc.is_object()) {
      error("(top level)", "must be an object { ... }, not " + typeName(doc));
      return;
    }
    bool splashImageGiven = false;
    for (const auto& [key, value] : doc.items()) {
      if (const auto* rule = find(projectKeys(), key)) {
        readKey(*rule, value, settings, key);
        splashImageGiven |= key == "splashImage" && !value.is_null();
      } else if (key == kExtensionsKey) {
        readExtensions(value, settings);
      } else if (key == kLibraryFilesKey) {
        readLibraryFiles(value, settings);
      } else if (key == kSecureVariablesKey) {
        readVariables(value, settings.secureVariables, key);
      } else if (key == kGlobalVariablesKey) {
        readVariables(value, settings.globalVariables, key);
      } else if (key == kFormsKey) {
        readForms(value, settings);
      } else if (key == kPlayerKey) {
        executable.player = carriedFile(value, key, FileCheck::Dll);
      } else if (key == kIconKey) {
        executable.icon = carriedFile(value, key, FileCheck::Icon);
      } else if (key == kVersionInfoKey) {
        readVersionInfo(value, executable);
      } else if (key == kMenuExtensionKey) {
        if (value.is_boolean()) {
          menuExtension = value.get<bool>();
        } else {
          error(key, "must be true or false, not " + typeName(value));
        }
      } else {
        unknownKey(key, key, projectKeys(), {kExtensionsKey, kLibraryFilesKey, kSecureVariablesKey,
                                             kGlobalVariablesKey, kFormsKey, kPlayerKey, kIconKey, kVersionInfoKey,
                                             kMenuExtensionKey});
      }
    }
    if (settings.passwordRequired && settings.password.empty()) {
      if (!doc.contains("password")) {
        error("password", "missing: passwordRequired is true, so the project needs a password");
      } else if (doc["password"].is_string()) {
        error("password", "must not be empty when passwordRequired is true");
      }
    }
    if (settings.splashEnabled && !splashImageGiven) {
      error("splashImage", "missing: splashEnabled is true, so the project needs a splash picture");
    }
  }

 private:
  void error(const std::string& path, const std::string& message) {
    errors_.push_back(label_ + ": " + path + ": " + message);
  }

  template <typename Owner>
  static const KeyRule<Owner>* find(std::span<const KeyRule<Owner>> keys, std::string_view key) {
    for (const auto& rule : keys) {
      if (key == rule.key) return &rule;
    }
    return nullptr;
  }

  template <typename Owner>
  void unknownKey(const std::string& path, std::string_view key, std::span<const KeyRule<Owner>> keys,
                  std::initializer_list<const char*> more) {
    std::vector<const char*> known;
    for (const auto& rule : keys) known.push_back(rule.key);
    known.insert(known.end(), more.begin(), more.end());
    std::string message = "unknown key";
    const char* best = nullptr;
    std::size_t bestDistance = 3;  // suggest only near misses
    for (const char* candidate : known) {
      const std::size_t d = editDistance(key, candidate);
      if (d < bestDistance) bestDistance = d, best = candidate;
    }
    if (best) message += " (did you mean " + jsonQuoted(best) + "?)";
    error(path, message);
  }

  // A whole number within [min, max]; nullopt after reporting the problem.
  std::optional<std::int32_t> integer(const Json& value, const std::string& path, std::int64_t min, std::int64_t max,
                                      std::string_view expected) {
    if (!value.is_number_integer()) {
      error(path, "must be " + std::string(expected) + ", not " + typeName(value));
      return std::nullopt;
    }
    const bool tooBig = value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(max);
    const std::int64_t v = tooBig ? max : value.get<std::int64_t>();
    if (tooBig || v < min || v > max) {
      error(path, "must be " + std::string(expected) + ": " + value.dump() + " is out of range");
      return std::nullopt;
    }
    return static_cast<std::int32_t>(v);
  }

  template <typename Owner>
  void readKey(const KeyRule<Owner>& rule, const Json& value, Owner& owner, const std::string& path) {
    switch (rule.kind) {
      case KeyKind::Integer: {
        const std::string range = rule.min == 0 && rule.max == std::numeric_limits<std::int32_t>::max()
                                      ? "a whole number from 0 up"
                                      : rule.min == std::numeric_limits<std::int32_t>::min()
                                            ? "a 32-bit whole number"
                                            : "a whole number from " + std::to_string(rule.min) + " to " +
                                                  std::to_string(rule.max);
        if (auto v = integer(value, path, rule.min, rule.max, range)) owner.*std::get<std::int32_t Owner::*>(rule.field) = *v;
        return;
      }
      case KeyKind::Choice: {
        auto& field = owner.*std::get<std::int32_t Owner::*>(rule.field);
        if (value.is_string()) {
          const auto& text = value.get_ref<const std::string&>();
          const auto it = std::find_if(rule.names.begin(), rule.names.end(), [&](const char* n) { return text == n; });
          if (it != rule.names.end()) {
            field = static_cast<std::int32_t>(it - rule.names.begin());
            return;
          }
          error(path, "must be " + describeChoice(rule.names) + ", not " + jsonQuoted(text));
          return;
        }
        if (auto v = integer(value, path, 0, static_cast<std::int64_t>(rule.names.size()) - 1, describeChoice(rule.names))) {
          field = *v;
        }
        return;
      }
      case KeyKind::Flag:
        if (!value.is_boolean()) {
          error(path, "must be true or false, not " + typeName(value));
          return;
        }
        owner.*std::get<bool Owner::*>(rule.field) = value.get<bool>();
        return;
      case KeyKind::FlagInt: {
        auto& field = owner.*std::get<std::int32_t Owner::*>(rule.field);
        if (value.is_boolean()) {
          field = value.get<bool>() ? 1 : 0;
        } else if (auto v = integer(value, path, 0, 1, "true, false, 1 or 0")) {
          field = *v;
        }
        return;
      }
      case KeyKind::Text:
        if (!value.is_string()) {
          error(path, "must be a string, not " + typeName(value));
          return;
        }
        owner.*std::get<std::wstring Owner::*>(rule.field) = record::fromUtf8(value.get_ref<const std::string&>());
        return;
      case KeyKind::Colour:
        if (auto v = colour(value, path)) owner.*std::get<std::int32_t Owner::*>(rule.field) = *v;
        return;
      case KeyKind::File:
        readFileKey(rule, value, owner, path);
        return;
    }
  }

  // "#RRGGBB" or the Windows value 0x00BBGGRR as a number.
  std::optional<std::int32_t> colour(const Json& value, const std::string& path) {
    const std::string_view expected = "a colour: \"#RRGGBB\" or a number from 0 to 16777215 (0x00BBGGRR)";
    if (value.is_string()) {
      const auto& text = value.get_ref<const std::string&>();
      const bool hex = text.size() == 7 && text[0] == '#' &&
                       std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
      if (!hex) {
        error(path, "must be " + std::string(expected) + ", not " + jsonQuoted(text));
        return std::nullopt;
      }
      const auto rgb = static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
      return static_cast<std::int32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    }
    return integer(value, path, 0, 0xFFFFFF, expected);
  }

  // The bytes of the file a key names, checked; nullopt after reporting the problem.
  std::optional<Bytes> namedFile(const Json& value, const std::string& path, FileCheck check, std::int64_t maxSize) {
    if (!value.is_string() || value.get_ref<const std::string&>().empty()) {
      error(path, "must be a file path (relative to the project file), not " +
                      (value.is_string() ? std::string("an empty string") : typeName(value)));
      return std::nullopt;
    }
    const fs::path file = baseDir_ / pathFromUtf8(value.get_ref<const std::string&>());
    const std::string shown = jsonQuoted(pathToUtf8(file));
    std::string why;
    auto bytes = readFile(file, why);
    if (!bytes) {
      error(path, "cannot read file " + shown + ": " + why);
      return std::nullopt;
    }
    if (static_cast<std::int64_t>(bytes->size()) > maxSize) {
      error(path, "file " + shown + " is too large (" + std::to_string(bytes->size()) + " bytes)");
      return std::nullopt;
    }
    if (auto problem = checkFile(*bytes, check)) {
      error(path, "file " + shown + " " + *problem);
      return std::nullopt;
    }
    return bytes;
  }

  template <typename Owner>
  void readFileKey(const KeyRule<Owner>& rule, const Json& value, Owner& owner, const std::string& path) {
    if (value.is_null()) return;  // none: the field keeps its empty default
    if (std::holds_alternative<record::PackedBlock Owner::*>(rule.field)) {
      if (auto bytes = namedFile(value, path, rule.check, record::kMaxUnpackedLength)) {
        owner.*std::get<record::PackedBlock Owner::*>(rule.field) = record::PackedBlock::pack(*bytes, rule.blockKind);
      }
    } else if (auto bytes = namedFile(value, path, rule.check, std::numeric_limits<std::int32_t>::max())) {
      owner.*std::get<record::StoredBlock Owner::*>(rule.field) =
          record::StoredBlock::fromPlain(std::move(*bytes), rule.blockKind);
    }
  }

  std::optional<record::ScrambledBlob> blob(const Json& value, const std::string& path, FileCheck check) {
    auto bytes = namedFile(value, path, check, std::numeric_limits<std::int32_t>::max());
    if (!bytes) return std::nullopt;
    return record::ScrambledBlob{0, record::StoredBlock::fromPlain(std::move(*bytes), record::BlockKind::Blob)};
  }

  void readExtensions(const Json& value, ProjectSettings& settings) {
    const std::string path = kExtensionsKey;
    if (!value.is_array()) {
      error(path, "must be a list of .vdd file paths, not " + typeName(value));
      return;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (auto b = blob(value[i], item(path, i), FileCheck::Dll)) settings.extensionBlobs.push_back(std::move(*b));
    }
  }

  void readLibraryFiles(const Json& value, ProjectSettings& settings) {
    const std::string path = kLibraryFilesKey;
    if (!value.is_object()) {
      error(path, "must be an object from library file name to file path, not " + typeName(value));
      return;
    }
    for (const auto& [name, file] : value.items()) {
      if (name.empty()) {
        error(entry(path, name), "a library file needs a name");
      } else if (auto b = blob(file, entry(path, name), FileCheck::None)) {
        settings.libraryFiles[record::fromUtf8(name)] = std::move(*b);
      }
    }
  }

  void readVariables(const Json& value, std::map<std::wstring, record::ProtectedString>& table, const std::string& path) {
    if (!value.is_object()) {
      error(path, "must be an object from variable name to string value, not " + typeName(value));
      return;
    }
    for (const auto& [name, text] : value.items()) {
      if (name.empty()) {
        error(entry(path, name), "a variable needs a name");
      } else if (!text.is_string()) {
        error(entry(path, name), "must be a string, not " + typeName(text));
      } else {
        table[record::fromUtf8(name)].set(record::fromUtf8(text.get_ref<const std::string&>()));
      }
    }
  }

  std::optional<CarriedFile> carriedFile(const Json& value, const std::string& path, FileCheck check) {
    if (value.is_null()) return std::nullopt;
    auto bytes = namedFile(value, path, check, std::numeric_limits<std::int32_t>::max());
    if (!bytes) return std::nullopt;
    return CarriedFile{std::move(*bytes), label_ + ": " + path,
                       pathToUtf8(baseDir_ / pathFromUtf8(value.get_ref<const std::string&>()))};
  }

  void readVersionInfo(const Json& value, ExecutableOptions& executable) {
    const std::string path = kVersionInfoKey;
    if (!value.is_object()) {
      error(path, "must be an object of version texts, not " + typeName(value));
      return;
    }
    for (const auto& [key, text] : value.items()) {
      const auto it = std::find_if(kVersionKeys.begin(), kVersionKeys.end(), [&](const VersionKey& k) { return key == k.key; });
      if (it == kVersionKeys.end()) {
        std::string known;
        for (const auto& k : kVersionKeys) known += (known.empty() ? "" : ", ") + jsonQuoted(k.key);
        error(member(path, key), "unknown key (the keys are " + known + ")");
      } else if (!text.is_string()) {
        error(member(path, key), "must be a string, not " + typeName(text));
      } else if (auto problem = checkVersionText(it - kVersionKeys.begin(), text.get_ref<const std::string&>())) {
        error(member(path, key), *problem);
      } else {
        executable.version[static_cast<std::size_t>(it - kVersionKeys.begin())] = text.get<std::string>();
      }
    }
  }

  void readForms(const Json& value, ProjectSettings& settings) {
    const std::string path = kFormsKey;
    if (!value.is_array()) {
      error(path, "must be a list of forms, not " + typeName(value));
      return;
    }
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < value.size(); ++i) {
      auto form = std::make_unique<FormDescription>();
      form->formVersion = record::kHighestFormVersion;
      readForm(value[i], *form, item(path, i));
      if (!form->name.empty() && !names.insert(form->name).second) {
        error(member(item(path, i), "name"), "another form already has the name " + jsonQuoted(record::toUtf8(form->name)));
      }
      settings.forms.push_back(std::move(form));
    }
  }

  void readForm(const Json& value, FormDescription& form, const std::string& path) {
    if (!value.is_object()) {
      error(path, "a form must be an object { ... }, not " + typeName(value));
      return;
    }
    for (const auto& [key, field] : value.items()) {
      if (const auto* rule = find(formKeys(), key)) {
        readKey(*rule, field, form, member(path, key));
      } else {
        unknownKey(member(path, key), key, formKeys(), {});
      }
    }
    if (!value.contains("name")) {
      error(member(path, "name"), "missing: every form needs a name");
    } else if (value["name"].is_string() && form.name.empty()) {
      error(member(path, "name"), "must not be empty");
    }
    if (!value.contains("movie") || value["movie"].is_null()) {
      error(member(path, "movie"), "missing: every form needs a movie");
    }
    if (form.windowKind == 2 && (!value.contains("maskImage") || value["maskImage"].is_null())) {
      error(member(path, "maskImage"), "missing: a shaped form (windowKind 2) needs a mask picture");
    }
  }

  fs::path baseDir_;
  std::string label_;
  std::vector<std::string>& errors_;
};

}  // namespace

std::optional<std::string> checkVersionText(std::ptrdiff_t keyIndex, const std::string& text) {
  if (text.size() > kMaxVersionText) return "is too long (" + std::to_string(kMaxVersionText) + " bytes at most)";
  if (keyIndex < 2 && !pe::parseVersionNumber(text)) {
    return "must be a version like \"1.2.3.4\" (one to four numbers from 0 to 65535), not " + jsonQuoted(text);
  }
  return std::nullopt;
}

namespace {

std::string withoutExceptionTag(const std::string& what) {
  const auto end = what.find("] ");
  return what.starts_with("[json.exception") && end != std::string::npos ? what.substr(end + 2) : what;
}

}  // namespace

ProjectLoad readProjectText(std::string_view json, const fs::path& baseDir, const std::string& label) {
  ProjectLoad load;
  Json doc;
  try {
    doc = Json::parse(json.begin(), json.end());
  } catch (const Json::parse_error& e) {
    load.errors.push_back(label + ": not valid JSON: " + withoutExceptionTag(e.what()));
    return load;
  }
  Reader(baseDir, label, load.errors).readProject(doc, load.settings, load.executable, load.menuExtension);
  return load;
}

ProjectLoad readProject(const fs::path& projectFile) {
  const std::string label = pathToUtf8(projectFile);
  std::string why;
  const auto bytes = readFile(projectFile, why);
  if (!bytes) {
    ProjectLoad load;
    load.errors.push_back(label + ": cannot read the project file: " + why);
    return load;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return readProjectText(text, projectFile.parent_path(), label);
}

}  // namespace lumo::builder
