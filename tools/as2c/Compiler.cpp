#include "Compiler.h"

#include "CodeGenerator.h"
#include "Parser.h"
#include "Scanner.h"

namespace as2c {

Bytes compileActions(std::string_view source, int version) {
  const NodePtr program = parse(scan(source));
  return generateCode(*program, VersionRules(version));
}

}  // namespace as2c
