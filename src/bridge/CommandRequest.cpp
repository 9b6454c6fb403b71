// Command request parsing and argument decoding. The escape table is applied in its order:
// the seven-character escapes hold the three-character ones in their middle.
#include "bridge/CommandRequest.h"

#include "bridge/TextHelpers.h"
#include "bridge/Tokens.h"

namespace lumo {
namespace {

constexpr std::wstring_view kStringOpen = L"<string>";
constexpr std::wstring_view kStringClose = L"</string>";

struct Escape {
  std::wstring_view received;
  std::wstring_view becomes;
};

// Per argument, first pass.
constexpr Escape kArgumentEscapes[] = {
    {L"&apos;", L"'"},
    {L"@co@", L","},
    {L"@dq@", L"\""},
    {L"@q@c@q@", L"\"c\""},
    {L"@c@q@c@", L"\",\""},
    {L"@c@", L","},
    {L"@q@", L"\""},
};
// Per argument, after the above; "@amp@" last so no entity is made by it.
constexpr Escape kEntityEscapes[] = {
    {L"&lt;", L"<"},
    {L"&gt;", L">"},
    {L"@amp@", L"&"},
};

// The content of the first <string> element at or after `from`; `end` receives the position
// of its closing tag, or npos when there is no complete element.
std::wstring stringElement(std::wstring_view request, size_t from, size_t& end) {
  end = std::wstring_view::npos;
  if (from > request.size()) return {};
  const size_t open = request.find(kStringOpen, from);
  if (open == std::wstring_view::npos) return {};
  const size_t contentStart = open + kStringOpen.size();
  const size_t close = request.find(kStringClose, contentStart);
  if (close == std::wstring_view::npos) return {};
  end = close;
  return std::wstring(request.substr(contentStart, close - contentStart));
}

}  // namespace

CommandRequest parseCommandRequest(std::wstring_view request) {
  CommandRequest parsed;
  const size_t firstQuote = request.find(L'"');
  if (firstQuote != std::wstring_view::npos) {
    const size_t secondQuote = request.find(L'"', firstQuote + 1);
    if (secondQuote != std::wstring_view::npos)
      parsed.name = request.substr(firstQuote + 1, secondQuote - firstQuote - 1);
  }
  size_t formIdEnd;
  parsed.formId = stringElement(request, 0, formIdEnd);
  if (formIdEnd != std::wstring_view::npos) {
    size_t argumentsEnd;
    parsed.arguments = stringElement(request, formIdEnd + kStringClose.size(), argumentsEnd);
  }
  return parsed;
}

std::vector<std::wstring> decodeArgumentList(std::wstring_view argumentText) {
  size_t marker = argumentText.find(tokens::kArgumentMarkerXml);
  size_t markerLength = tokens::kArgumentMarkerXml.size();
  if (marker == std::wstring_view::npos) {
    marker = argumentText.find(tokens::kArgumentMarker);
    markerLength = tokens::kArgumentMarker.size();
  }
  if (marker == std::wstring_view::npos) return {};

  std::wstring rest(argumentText.substr(marker + markerLength));
  replaceAll(rest, L"&quot;", L"");
  std::vector<std::wstring> arguments = split(rest, tokens::kArgumentSeparator);
  for (std::wstring& argument : arguments) {
    for (const Escape& escape : kArgumentEscapes) replaceAll(argument, escape.received, escape.becomes);
    for (const Escape& escape : kEntityEscapes) replaceAll(argument, escape.received, escape.becomes);
  }
  return arguments;
}

}  // namespace lumo
