// Small PE images made in memory for the rewriter's tests: a code section, a resource section
// holding a given tree and a base-relocation section after it, as PE32 or PE32+.
#pragma once

#include "pe/PeImage.h"
#include "pe/ResourceTree.h"

namespace lumo::pe::test {

struct TestImageShape {
  bool pe32Plus = true;
  bool relocationsDiscardable = true;
  bool dataAfterResources = false;  // a writable section after .rsrc, which code refers to
  bool signature = false;           // a certificate directory entry
  bool symbolTail = false;          // a symbol table after the sections, as unstripped files have
  bool debugInRelocations = false;  // a debug directory entry at the start of .reloc, pointing
                                    // at kDebugDataOffset in the same section
};

inline constexpr std::uint32_t kDebugDataOffset = 0x20;

inline constexpr std::uint32_t kTextRva = 0x1000;
inline constexpr std::uint32_t kResourceRva = 0x2000;
inline constexpr std::uint8_t kRelocationFill = 0x5A;
inline constexpr std::uint32_t kRelocationBytes = 0x30;
inline constexpr char kSymbolTail[] = "SYMBOLS-AND-STRINGS";

Bytes makeTestImage(const TestImageShape& shape, const ResourceTree& tree);

// A tree with a named type, a named resource, several languages and icon data.
ResourceTree sampleTree();

// The header of a DLL (or program) for `machine`, enough for the player checks.
Bytes makeModuleHeader(std::uint16_t machine, bool dll);

}  // namespace lumo::pe::test
