#include "CommandLine.h"

#include "Console.h"
#include "FileBytes.h"
#include "Inspector.h"
#include "ProjectReader.h"
#include "ProjectorWriter.h"

#include <system_error>

namespace lumo::builder {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage =
    "usage:\n"
    "  lumo build PROJECT.json -o APP.exe [--runtime lumo-runtime.exe]\n"
    "      writes a projector: the runtime with the project's record appended\n"
    "  lumo inspect APP.exe\n"
    "      prints the record of a built projector as JSON\n"
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

int build(const std::vector<std::string>& args) {
  std::optional<std::string> project, output, runtime;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--output" || a == "--runtime") && i + 1 < args.size()) {
      (a == "--runtime" ? runtime : output) = args[++i];
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

  std::string why;
  std::optional<fs::path> runtimePath = runtime ? std::optional(pathFromUtf8(*runtime)) : findRuntime(why);
  std::optional<Bytes> runtimeBytes;
  if (!runtimePath) {
    errors.push_back(why);
  } else if (!(runtimeBytes = readFile(*runtimePath, why))) {
    errors.push_back(pathToUtf8(*runtimePath) + ": cannot read the runtime: " + why);
  } else if (auto problem = checkRuntime(*runtimeBytes)) {
    errors.push_back(pathToUtf8(*runtimePath) + ": " + *problem);
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

  if (!writeProjector(outputPath, *runtimeBytes, load.settings, why)) {
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
  writeOut(describeProject(settings));
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
