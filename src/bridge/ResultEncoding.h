// Escaping a command's result text before it goes back to the movie inside <string>.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// eiReady false doubles every backslash; the engine passes true when the request names no
// live form.
std::wstring encodeResult(std::wstring_view result, bool eiReady);

}  // namespace lumo
