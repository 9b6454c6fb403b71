#include "Sha256.h"

#define OPENSSL_SUPPRESS_DEPRECATED  // the low-level digest: the one-shot calls go through providers
#include <openssl/sha.h>

namespace lumo::builder {

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
  // SHA256_Init and its kin, not EVP_Digest or SHA256(): those go through the provider framework,
  // which the Windows builds' libcrypto (the digests and cipher the programs use) leaves out.
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256_CTX context;
  if (SHA256_Init(&context) != 1 || SHA256_Update(&context, bytes.data(), bytes.size()) != 1 ||
      SHA256_Final(digest, &context) != 1) {
    return {};
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 15]);
  }
  return text;
}

}  // namespace lumo::builder
