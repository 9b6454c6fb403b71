// Builds the syntax tree from the tokens: recursive descent for statements, precedence
// climbing for binary operators. Type annotations (": Number") are read and dropped.
#pragma once

#include "Ast.h"
#include "Scanner.h"

namespace as2c {

NodePtr parse(const std::vector<Token>& tokens);

}  // namespace as2c
