// Entry point of the projector builder: hands the UTF-8 arguments to the command line.
// On Windows the wide arguments are taken so that any path works.
#include "CommandLine.h"

#ifdef _WIN32
#include "Utf.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(lumo::record::toUtf8(argv[i]));
  return lumo::builder::runCommandLine(args);
}
#else
int main(int argc, char** argv) {
  return lumo::builder::runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
