// Text output of the command-line tool: UTF-8 everywhere, shown correctly in a Windows
// console too (written there as UTF-16 instead of bytes in the console's code page).
#pragma once

#include <string_view>

namespace lumo::builder {

void writeOut(std::string_view utf8);
void writeErr(std::string_view utf8);

}  // namespace lumo::builder
