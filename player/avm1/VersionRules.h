// What differs between SWF versions, as data: case sensitivity of names, how undefined converts,
// and which built-ins exist. The interpreter asks here and never compares versions itself.
#pragma once

#include <string>
#include <string_view>

namespace avm1 {

class VersionRules {
 public:
  explicit VersionRules(int version);

  int version() const { return version_; }
  // Names are compared without regard to case up to SWF 6.
  bool caseSensitiveNames() const { return caseSensitive_; }
  std::string nameKey(std::string_view name) const;
  // Whether the name is its own key (no copy needed to look it up).
  bool isOwnKey(std::string_view name) const {
    if (caseSensitive_) return true;
    for (char c : name)
      if (c >= 'A' && c <= 'Z') return false;
    return true;
  }
  // Up to SWF 6 undefined converts to "" as a string and 0 as a number; from 7 on to
  // "undefined" and NaN.
  bool undefinedIsEmpty() const { return undefinedIsEmpty_; }
  // Non-empty strings are true from SWF 7 on; earlier they convert through their number.
  bool stringTruthByLength() const { return stringTruthByLength_; }
  // ExternalInterface answers only code of SWF 8 and later movies.
  bool hasExternalInterface() const { return externalInterface_; }
  // SWF 4 has no boolean type to print: true and false read "1" and "0", objects count as 0,
  // and a string that is not a number converts to 0 (with trailing text ignored).
  bool swf4Conversions() const { return swf4_; }
  // From SWF 6 strings like "0x1F" and "017" convert as hexadecimal and octal integers.
  bool radixStrings() const { return radixStrings_; }
  // Property flag bits (ASSetPropFlags' bits 3-15) that hide a property from this version.
  unsigned hiddenPropertyFlags() const;
  // SWF 8 and 9 give >>> a signed result.
  bool signedUnsignedShift() const { return signedUnsignedShift_; }

 private:
  int version_;
  bool caseSensitive_;
  bool undefinedIsEmpty_;
  bool stringTruthByLength_;
  bool externalInterface_;
  bool swf4_;
  bool radixStrings_;
  bool signedUnsignedShift_;
};

}  // namespace avm1
