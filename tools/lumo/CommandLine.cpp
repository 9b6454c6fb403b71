#include "CommandLine.h"

#include "Console.h"
#include "FileBytes.h"
#include "FileChecks.h"
#include "Inspector.h"
#include "MenuExtension.h"
#include "ProjectReader.h"
#include "ProjectorWriter.h"
#include "RuntimeCheck.h"
#include "RuntimeResources.h"

#include <system_error>

namespace lumo::builder {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage =
    "usage:\n"
    "  lumo build PROJECT.json -o APP.exe [--runtime lumo-runtime.exe] [options]\n"
    "      writes a projector: the runtime with the project's record appended\n"
    "    --player DLL           the Flash Player control to carry (default: the runtime's own\n"
    "                           stand-in); it must be built for the runtime's architecture\n"
    "    --icon FILE.ico        the program's icon, also used by its forms and tray\n"
    "    --file-version V       version information; a version V is one to four numbers\n"
    "    --product-version V    from 0 to 65535, as 1.2.3.4\n"
    "    --product-name TEXT\n"
    "    --company TEXT\n"
    "    --description TEXT\n"
    "    --copyright TEXT\n"
    "    (the project keys \"player\", \"icon\" and \"versionInfo\" do the same; options win)\n"
    "  lumo inspect APP.exe\n"
    "      prints the record of a built projector as JSON, with its player, icon and version\n"
    "exit codes: 0 done, 1 the output could not be written, 2 bad input\n";

constexpr const char* kRuntimeName = "lumo-runtime.exe";

int usageError(const std::string& message) {
  writeErr("lumo: " + message + "\n" + std::string(kUsage));
  return kExitBadInput;
}

// Beside this program, and from a host build's build/host/ the Windows build's bin folder.
std::vector<fs::path> runtimeCandidates() {
  const fs::path dir = ownExecutable().parent_path();
  return {dir / kRuntimeName, dir / ".." / "x86_64" / "bin" / kRuntimeName};
}

std::optional<fs::path> findRuntime(std::string& error) {
  std::string looked;
  for (const auto& candidate : runtimeCandidates()) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate.lexically_normal();
    looked += (looked.empty() ? "" : ", ") + pathToUtf8(candidate.lexically_normal());
  }
  error = std::string("no runtime given and ") + kRuntimeName + " was not found (looked at " + looked +
          "): give --runtime PATH";
  return std::nullopt;
}

// A file named by an option, checked as its project key would be; adds to `errors` otherwise.
std::optional<CarriedFile> optionFile(const std::string& option, const std::string& path, FileCheck check,
                                      std::vector<std::string>& errors) {
  std::string why;
  auto bytes = readFile(pathFromUtf8(path), why);
  if (!bytes) {
    errors.push_back(option + ": cannot read file \"" + path + "\": " + why);
    return std::nullopt;
  }
  if (auto problem = checkFile(*bytes, check)) {
    errors.push_back(option + ": file \"" + path + "\" " + *problem);
    return std::nullopt;
  }
  return CarriedFile{std::move(*bytes), option, path};
}

const VersionKey* versionOption(const std::string& option) {
  for (const auto& k : kVersionKeys)
    if (option == k.option) return &k;
  return nullptr;
}

// The marker inside a carried file would be found before the record: name the file.
std::string markerProblem(const ExecutableOptions& options) {
  for (const auto* carried : {&options.player, &options.icon}) {
    if (*carried && holdsMarker((*carried)->bytes)) {
      return (*carried)->source + ": file \"" + (*carried)->path +
             "\" holds the bytes that mark a project record: the projector could not find its own record";
    }
  }
  return "the runtime with its new resources holds the bytes that mark a project record: the projector could not "
         "find its own record";
}

int build(const std::vector<std::string>& args) {
  std::optional<std::string> project, output, runtime, player, icon;
  std::vector<std::pair<std::size_t, std::string>> versions;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--output" || a == "--runtime") && i + 1 < args.size()) {
      (a == "--runtime" ? runtime : output) = args[++i];
    } else if ((a == "--player" || a == "--icon") && i + 1 < args.size()) {
      (a == "--player" ? player : icon) = args[++i];
    } else if (const VersionKey* key = versionOption(a); key && i + 1 < args.size()) {
      versions.emplace_back(static_cast<std::size_t>(key - kVersionKeys.data()), args[++i]);
    } else if (a.starts_with("-") && a.size() > 1) {
      return usageError("build: unknown or incomplete option " + a);
    } else if (!project) {
      project = a;
    } else {
      return usageError("build: more than one project file given");
    }
  }
  if (!project) return usageError("build: no project file given");
  if (!output) return usageError("build: no output given (-o APP.exe)");

  ProjectLoad load = readProject(pathFromUtf8(*project));
  std::vector<std::string> errors = std::move(load.errors);
  ExecutableOptions& executable = load.executable;
  if (player) executable.player = optionFile("--player", *player, FileCheck::Dll, errors);
  if (icon) executable.icon = optionFile("--icon", *icon, FileCheck::Icon, errors);
  for (const auto& [index, text] : versions) {
    if (auto problem = checkVersionText(static_cast<std::ptrdiff_t>(index), text)) {
      errors.push_back(std::string(kVersionKeys[index].option) + ": " + *problem);
    } else {
      executable.version[index] = text;
    }
  }

  std::string why;
  std::optional<fs::path> runtimePath = runtime ? std::optional(pathFromUtf8(*runtime)) : findRuntime(why);
  std::optional<Bytes> runtimeBytes, image;
  if (!runtimePath) {
    errors.push_back(why);
  } else if (!(runtimeBytes = readFile(*runtimePath, why))) {
    errors.push_back(pathToUtf8(*runtimePath) + ": cannot read the runtime: " + why);
  } else if (auto problem = checkRuntime(*runtimeBytes)) {
    errors.push_back(pathToUtf8(*runtimePath) + ": " + *problem);
  } else {
    // The loader takes the first marker in the file, so the rewritten image must hold none.
    image = customiseRuntime(*runtimeBytes, pathToUtf8(*runtimePath), executable, errors);
    if (image && holdsMarker(*image)) errors.push_back(markerProblem(executable));
    if (load.menuExtension) packMenuExtension(*runtimePath, *runtimeBytes, load.settings, errors);
  }
  const fs::path outputPath = pathFromUtf8(*output);
  std::error_code ec;
  if (runtimePath && fs::equivalent(outputPath, *runtimePath, ec)) {
    errors.push_back(*output + ": the output would replace the runtime itself");
  }
  if (!errors.empty()) {
    std::string text;
    for (const auto& e : errors) text += e + "\n";
    text += "lumo: nothing written: " + std::to_string(errors.size()) + (errors.size() == 1 ? " problem\n" : " problems\n");
    writeErr(text);
    return kExitBadInput;
  }

  if (!writeProjector(outputPath, *image, load.settings, why, executable.any())) {
    writeErr(*output + ": cannot write the projector: " + why + "\n");
    return kExitWriteFailed;
  }
  writeOut("lumo: built " + *output + " from " + *project + " with " + std::to_string(load.settings.forms.size()) +
           (load.settings.forms.size() == 1 ? " form" : " forms") + " (runtime " + pathToUtf8(*runtimePath) + ")\n");
  return kExitOk;
}

int inspect(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageError("inspect: give exactly one projector");
  const fs::path path = pathFromUtf8(args[1]);
  std::string why;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    writeErr(args[1] + ": cannot open: " + (fs::exists(path, ec) ? "not a file" : "no such file") + "\n");
    return kExitBadInput;
  }
  record::ProjectSettings settings;
  if (!settings.loadFromExecutable(path)) {
    writeErr(args[1] + ": holds no project record, or its record is damaged\n");
    return kExitBadInput;
  }
  const auto bytes = readFile(path, why);
  writeOut(describeProject(settings, bytes ? readCarriedResources(*bytes) : CarriedResources{}));
  return kExitOk;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return usageError("no command given");
  if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    writeOut(kUsage);
    return kExitOk;
  }
  if (args[0] == "build") return build(args);
  if (args[0] == "inspect") return inspect(args);
  return usageError("unknown command " + args[0]);
}

}  // namespace lumo::builder
