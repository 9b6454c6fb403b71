// Result encoding: "&" to its entity, outer quotes to entities, inner quotes to "@q@" except in array texts,
// then the XML-special characters, then backslashes for forms that are not EI-ready.
#include "bridge/ResultEncoding.h"

#include "bridge/TextHelpers.h"

namespace lumo {

std::wstring encodeResult(std::wstring_view result, bool eiReady) {
  std::wstring text(result);
  // "&" first, so the player's XML stays well-formed and a value holding an entity's text
  // ("&lt;") reaches the movie as written; texts without "&" encode as before.
  replaceAll(text, L"&", L"&amp;");
  if (!text.empty() && text.front() == L'"') text.replace(0, 1, L"&quot;");
  if (!text.empty() && text.back() == L'"') text.replace(text.size() - 1, 1, L"&quot;");
  if (!text.empty() && text.front() != L'[' && text.back() != L']') replaceAll(text, L"\"", L"@q@");
  replaceAll(text, L"<", L"&lt;");
  replaceAll(text, L">", L"&gt;");
  replaceAll(text, L"\"", L"&quot;");
  if (!eiReady) replaceAll(text, L"\\", L"\\\\");
  return text;
}

}  // namespace lumo
