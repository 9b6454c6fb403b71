#include "ProtectedString.h"

#include "RecordFormat.h"
#include "Utf.h"

#define OPENSSL_SUPPRESS_DEPRECATED  // the low-level Blowfish and SHA-384 calls are what the format needs
#include <openssl/blowfish.h>
#include <openssl/sha.h>

#include <cstring>

namespace lumo::record {

namespace {

// The key schedule is computed once per process: the 97-byte key is the SHA-384 digest of
// the key text as 96 lowercase hexadecimal digits and a zero byte.
const BF_KEY& cipherKey() {
  static const BF_KEY key = [] {
    unsigned char digest[SHA384_DIGEST_LENGTH];
    // The low-level digest, not the one-shot SHA384(), which goes through the provider framework
    // and links every algorithm of the library into the runtime.
    SHA512_CTX context;
    SHA384_Init(&context);
    SHA384_Update(&context, kProtectedKeyText, sizeof(kProtectedKeyText) - 1);
    SHA384_Final(digest, &context);
    static constexpr char kHex[] = "0123456789abcdef";
    unsigned char material[2 * SHA384_DIGEST_LENGTH + 1] = {};
    for (int i = 0; i < SHA384_DIGEST_LENGTH; ++i) {
      material[2 * i] = static_cast<unsigned char>(kHex[digest[i] >> 4]);
      material[2 * i + 1] = static_cast<unsigned char>(kHex[digest[i] & 15]);
    }
    BF_KEY schedule;
    // The standard schedule takes the key bytes cyclically; only the first 72 reach the P-array.
    BF_set_key(&schedule, static_cast<int>(sizeof(material)), material);
    return schedule;
  }();
  return key;
}

void cbc(std::vector<std::uint8_t>& bytes, int direction) {
  unsigned char iv[8] = {};
  BF_cbc_encrypt(bytes.data(), bytes.data(), static_cast<long>(bytes.size()), &cipherKey(), iv, direction);
}

}  // namespace

void ProtectedString::set(std::wstring_view text) {
  if (text.empty()) return;
  const std::u16string utf16 = toUtf16(text);
  std::size_t length = 2 * (utf16.size() + 1);
  length = (length + 7) / 8 * 8;
  std::vector<std::uint8_t> buffer(length, 0);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    buffer[2 * i] = static_cast<std::uint8_t>(utf16[i] & 0xFF);
    buffer[2 * i + 1] = static_cast<std::uint8_t>(utf16[i] >> 8);
  }
  cbc(buffer, BF_ENCRYPT);
  bytes_ = std::move(buffer);
}

std::wstring ProtectedString::get() const {
  if (bytes_.empty()) return {};
  // A stored length that is not whole blocks leaves its tail undeciphered and unread.
  std::vector<std::uint8_t> plain(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(bytes_.size() / 8 * 8));
  cbc(plain, BF_DECRYPT);
  std::u16string utf16;
  for (std::size_t i = 0; i + 1 < plain.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(plain[i] | (plain[i + 1] << 8));
    if (unit == 0) break;
    utf16.push_back(unit);
  }
  return fromUtf16(utf16);
}

}  // namespace lumo::record
