#include "VersionRules.h"

#include <cctype>

namespace avm1 {

namespace {
struct Row {
  int from;  // the first version with this row's rules
  bool caseSensitive, undefinedIsEmpty, stringTruthByLength, externalInterface, swf4, radixStrings,
      signedUnsignedShift;
};
constexpr Row kRows[] = {
    {0, false, true, false, false, true, false, false},
    {5, false, true, false, false, false, false, false},
    {6, false, true, false, false, false, true, false},
    {7, true, false, true, false, false, true, false},
    {8, true, false, true, true, false, true, true},
    {10, true, false, true, true, false, true, false},
};
}  // namespace

VersionRules::VersionRules(int version) : version_(version) {
  const Row* row = &kRows[0];
  for (const Row& r : kRows)
    if (version >= r.from) row = &r;
  caseSensitive_ = row->caseSensitive;
  undefinedIsEmpty_ = row->undefinedIsEmpty;
  stringTruthByLength_ = row->stringTruthByLength;
  externalInterface_ = row->externalInterface;
  swf4_ = row->swf4;
  radixStrings_ = row->radixStrings;
  signedUnsignedShift_ = row->signedUnsignedShift;
}

std::string VersionRules::nameKey(std::string_view name) const {
  std::string key(name);
  if (!caseSensitive_)
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace avm1
