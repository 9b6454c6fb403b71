// as2c: compiles an ActionScript 2 source file into a SWF movie with one action block.
//   as2c [--swf-version N] [--fps N] [--size WxH] [--tag TAG]... -o OUT.swf IN.as
// Errors go to standard error as "file:line:column: error: message"; on error nothing is
// written and the exit code is 1 (2 for bad usage).
#include "Compiler.h"
#include "SwfWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

int usage(const std::string& problem) {
  std::cerr << "as2c: " << problem << "\n"
            << "usage: as2c [--swf-version 5..10] [--fps N] [--size WxH] [--tag TAG]... -o OUT.swf IN.as\n"
            << "  TAG: file-attributes=FLAGS | script-limits=DEPTH,SECONDS | background=RRGGBB | actions |\n"
            << "       placed-object (in the order given; default: file-attributes=0 background=FFFFFF actions)\n";
  return 2;
}

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  as2c::MovieSettings settings;
  std::string input, output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) return {};
      return argv[++i];
    };
    if (arg == "-o") {
      output = value();
    } else if (arg == "--swf-version") {
      settings.version = std::atoi(value().c_str());
      if (settings.version < as2c::kFirstVersion || settings.version > as2c::kLastVersion)
        return usage("the SWF version must be 5 to 10");
    } else if (arg == "--fps") {
      settings.frameRate = std::atof(value().c_str());
      if (settings.frameRate <= 0 || settings.frameRate >= 256) return usage("the frame rate must be above 0 and below 256");
    } else if (arg == "--size") {
      unsigned w = 0, h = 0;
      if (std::sscanf(value().c_str(), "%ux%u", &w, &h) != 2 || w == 0 || h == 0 || w > 8000 || h > 8000)
        return usage("the size must be WIDTHxHEIGHT in pixels");
      settings.width = w;
      settings.height = h;
    } else if (arg == "--tag") {
      as2c::TagRequest tag{};
      const std::string text = value();
      if (!as2c::parseTagRequest(text, tag)) return usage("unknown or malformed tag: " + text);
      settings.tags.push_back(tag);
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option " + arg);
    } else if (input.empty()) {
      input = arg;
    } else {
      return usage("more than one input file");
    }
  }
  if (input.empty() || output.empty()) return usage("an input file and -o OUT are needed");
  if (settings.tags.empty()) {
    as2c::TagRequest tag{};
    for (const char* text : {"file-attributes=0", "background=FFFFFF", "actions"}) {
      as2c::parseTagRequest(text, tag);
      settings.tags.push_back(tag);
    }
  }

  std::string source;
  if (!readFile(input, source)) {
    std::cerr << input << ": error: cannot read the file\n";
    return 1;
  }
  as2c::Bytes swf;
  try {
    swf = as2c::writeSwf(settings, as2c::compileActions(source, settings.version));
  } catch (const as2c::CompileError& error) {
    std::cerr << input << ":" << error.at().line << ":" << error.at().column << ": error: " << error.what() << "\n";
    return 1;
  }
  // Written under a temporary name and renamed, so a failed write leaves no partial movie.
  const std::string temporary = output + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(swf.data()), static_cast<std::streamsize>(swf.size()));
    if (!out) {
      std::remove(temporary.c_str());
      std::cerr << output << ": error: cannot write the file\n";
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), output.c_str()) != 0) {
    std::remove(output.c_str());
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
      std::remove(temporary.c_str());
      std::cerr << output << ": error: cannot write the file\n";
      return 1;
    }
  }
  return 0;
}
