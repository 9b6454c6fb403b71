// Taking a command request from the movie apart: the invoke XML the player delivers, and the
// escaped argument list inside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

struct CommandRequest {
  std::wstring name;       // e.g. vor.Application.exit
  std::wstring formId;     // decimal text
  std::wstring arguments;  // raw, still escaped; starts with the argument marker
};

CommandRequest parseCommandRequest(std::wstring_view request);

// No marker gives no arguments at all; a marker alone gives one empty argument.
std::vector<std::wstring> decodeArgumentList(std::wstring_view argumentText);

}  // namespace lumo
