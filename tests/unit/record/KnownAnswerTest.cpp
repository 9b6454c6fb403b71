// Known answers made apart from our record writer: a version 11 record assembled here field by
// field in the documented order with its own scrambling, and protected strings enciphered by
// Node's Blowfish (fixtures/protected-strings.js). A slip in field order, a transformation or
// the cipher key reads back wrong here, where a write-then-read round trip would agree with it.
#include "RecordTestSupport.h"

#include "RecordFormat.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace lumo::record::test {
namespace {

Bytes fromHex(const std::string& hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

struct ProtectedVector {
  std::wstring text;
  Bytes enciphered;
};

// fixtures/protected-strings.txt beside the test program: "#" comment lines, then lines of
// the UTF-16LE text and the enciphered bytes, both in hex.
std::vector<ProtectedVector> protectedVectors() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"record-fixtures\\protected-strings.txt";
  std::ifstream file(path.c_str());
  std::vector<ProtectedVector> vectors;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    const Bytes utf16 = fromHex(line.substr(0, space));
    ProtectedVector v;
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
      v.text.push_back(static_cast<wchar_t>(utf16[i] | utf16[i + 1] << 8));
    v.enciphered = fromHex(line.substr(space + 1));
    vectors.push_back(std::move(v));
  }
  return vectors;
}

// Writes record bytes by hand: little-endian ints and the documented scrambling, written here
// again rather than taken from the reader's or the writer's code.
class Assembler {
 public:
  Assembler& integer(std::int32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    return *this;
  }
  Assembler& flag(bool v) { return integer(v ? 1 : 0); }
  // UTF-8 text with a terminator, as the builder stores it; every text here is under 512 bytes.
  Assembler& text(const std::string& utf8) {
    Bytes b(utf8.begin(), utf8.end());
    b.push_back(0);
    const std::size_t n = b.size();
    for (std::size_t j = 0; j < n; ++j) b[j] ^= static_cast<std::uint8_t>(K0 + n + K1 * j);
    integer(static_cast<std::int32_t>(n));
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  Assembler& block(const std::string& plain, std::uint8_t kx) {
    const Bytes b = scrambled(Bytes(plain.begin(), plain.end()), kx);
    integer(static_cast<std::int32_t>(b.size()));
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  Assembler& packed(const std::string& plain, std::uint8_t kx) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes z(size);
    compress(z.data(), &size, reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(plain.size()));
    z.resize(size);
    const Bytes b = scrambled(z, kx);
    integer(static_cast<std::int32_t>(b.size())).integer(static_cast<std::int32_t>(plain.size()));
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  Assembler& blob(std::int32_t tag, const std::string& plain) { return integer(tag).block(plain, K3); }
  Assembler& enciphered(const Bytes& b) {
    integer(1).integer(static_cast<std::int32_t>(b.size()));
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  Assembler& plainProtected(const std::string& utf8) { return integer(0).text(utf8); }
  const Bytes& bytes() const { return bytes_; }

 private:
  static Bytes scrambled(Bytes b, std::uint8_t kx) {
    const std::size_t n = b.size();
    for (std::size_t i = 0; i < n; ++i) b[i] ^= static_cast<std::uint8_t>(K1 * i + n % 256 + kx);
    return b;
  }
  Bytes bytes_;
};

TEST(KnownAnswers, ProtectedStringsMatchAnIndependentBlowfish) {
  const auto vectors = protectedVectors();
  ASSERT_EQ(vectors.size(), 6u) << "the fixture file is read";
  for (const ProtectedVector& v : vectors) {
    ProtectedString made;
    made.set(v.text);
    EXPECT_EQ(made.enciphered(), v.enciphered) << v.enciphered.size();
    ProtectedString stored;
    stored.setEnciphered(v.enciphered);
    EXPECT_EQ(stored.get(), v.text);
  }
}

TEST(KnownAnswers, AHandAssembledVersion11RecordReadsFieldByField) {
  const auto vectors = protectedVectors();
  ASSERT_EQ(vectors.size(), 6u);
  const Bytes sesame = vectors[3].enciphered;  // "Open Sesame"
  const Bytes cafe = vectors[4].enciphered;    // "café 中文 😀"
  Assembler a;
  a.integer(11).integer(2).text("Known title \xC3\xA4").text("reserved A")
      .flag(true).flag(false).flag(true).text("reserved text B")
      .integer(301).integer(202).integer(1503)
      .integer(1);
  // The form, version 10.
  a.integer(10).text("knownForm").flag(true).integer(11).integer(12).integer(1).integer(613).integer(414)
      .integer(3).integer(4)
      .flag(true).flag(false).flag(true).integer(2)
      .flag(false).flag(true).flag(false).flag(true)
      .integer(0x52).integer(0x53)                 // R, S
      .integer(201).integer(17).integer(1).integer(0)
      .text("reserved T")
      .flag(false).flag(true).block("FWS\x0A known movie", K2)
      .packed("BM known mask", K4)
      .integer(0x00A1B2C3).flag(false)
      .integer(2).integer(0).integer(1)
      .text("Known window").integer(1)
      .block("FWS\x08 known preview", K2).block("reserved V", K2)
      .flag(true).integer(0x00D4E5F6)
      .integer(551).integer(401);
  a.integer(2).blob(7, "MZ first module").blob(9, "MZ second module");
  a.integer(2).text("zeta").plainProtected("plain secret").text("alpha").enciphered(sesame);
  a.integer(1).text("levels/one.bin").blob(3, std::string("\x00\x01\x02\xFF", 4));
  a.integer(2).enciphered(Bytes(8, 0x55)).plainProtected("listed");  // the reserved list
  a.integer(0xC).integer(0xD).integer(0xE).integer(0xF).flag(true).text("reserved H");
  a.flag(true).integer(0x49);
  a.packed("BM known splash", K4).text("Known pass").packed("known tray", K5);
  a.integer(1).text("lang").enciphered(cafe);
  a.text("J").text("KK").text("LLL").text("MMMM").text("NNNNN").text("OOOOOO").text("PPPPPPP");
  a.flag(true);  // Q

  ProjectSettings s;
  ASSERT_TRUE(readRecord(a.bytes(), s));
  EXPECT_EQ(s.version, 11);
  EXPECT_EQ(s.projectMode, 2);
  EXPECT_EQ(s.title, L"Known title \u00e4");
  EXPECT_TRUE(s.trayIconAtStart);
  EXPECT_FALSE(s.showInTaskbar);
  EXPECT_TRUE(s.splashEnabled);
  EXPECT_EQ(s.splashWidth, 301);
  EXPECT_EQ(s.splashHeight, 202);
  EXPECT_EQ(s.splashDuration, 1503);
  ASSERT_EQ(s.forms.size(), 1u);
  const FormDescription& f = *s.forms[0];
  EXPECT_EQ(f.formVersion, 10);
  EXPECT_EQ(f.name, L"knownForm");
  EXPECT_TRUE(f.centred);
  EXPECT_EQ(f.x, 11);
  EXPECT_EQ(f.y, 12);
  EXPECT_EQ(f.sizeUnit, 1);
  EXPECT_EQ(f.width, 613);
  EXPECT_EQ(f.height, 414);
  EXPECT_EQ(f.windowKind, 3);
  EXPECT_EQ(f.borderStyle, 4);
  EXPECT_TRUE(f.maximizeBox);
  EXPECT_FALSE(f.minimizeBox);
  EXPECT_TRUE(f.systemMenu);
  EXPECT_EQ(f.startState, 2);
  EXPECT_FALSE(f.scaleEnabled);
  EXPECT_TRUE(f.scaleShowAll);
  EXPECT_FALSE(f.visibleAtStart);
  EXPECT_TRUE(f.alwaysOnTop);
  EXPECT_EQ(f.alpha, 201);
  EXPECT_EQ(f.fadeStepMs, 17);
  EXPECT_EQ(f.fadeIn, 1);
  EXPECT_EQ(f.fadeOut, 0);
  EXPECT_FALSE(f.escapeCloses);
  EXPECT_TRUE(f.altF4Closes);
  EXPECT_EQ(f.movieBytes(), bytesOf("FWS\x0A known movie"));
  EXPECT_EQ(f.movieVersion(), 10);
  EXPECT_EQ(f.maskImage(), bytesOf("BM known mask"));
  EXPECT_EQ(f.playerBackground, 0x00A1B2C3);
  EXPECT_FALSE(f.popupFrame);
  EXPECT_EQ(f.leftButtonMode, 2);
  EXPECT_EQ(f.middleButtonMode, 0);
  EXPECT_EQ(f.rightButtonMode, 1);
  EXPECT_EQ(f.windowTitle, L"Known window");
  EXPECT_EQ(f.positionUnit, 1);
  EXPECT_EQ(f.previewMovieBytes(), bytesOf("FWS\x08 known preview"));
  EXPECT_TRUE(f.fixedMovieSize);
  EXPECT_EQ(f.backgroundColour, 0x00D4E5F6);
  EXPECT_EQ(f.movieWidth, 551);
  EXPECT_EQ(f.movieHeight, 401);
  ASSERT_EQ(s.extensions().size(), 2u);
  EXPECT_EQ(content(s.extensions()[0]), bytesOf("MZ first module"));
  EXPECT_EQ(content(s.extensions()[1]), bytesOf("MZ second module"));
  EXPECT_EQ(s.secureVar(L"zeta"), L"plain secret");
  EXPECT_EQ(s.secureVar(L"alpha"), L"Open Sesame");
  ASSERT_NE(s.libraryFile(L"levels/one.bin"), nullptr);
  EXPECT_EQ(content(*s.libraryFile(L"levels/one.bin")), (Bytes{0, 1, 2, 0xFF}));
  EXPECT_TRUE(s.passwordRequired);
  EXPECT_EQ(s.splashImage(), bytesOf("BM known splash"));
  EXPECT_EQ(s.password, L"Known pass");
  EXPECT_EQ(s.trayIconImage(), bytesOf("known tray"));
  EXPECT_EQ(s.globalVar(L"lang"), L"caf\u00e9 \u4e2d\u6587 \U0001F600");

  // Flag Q is the last field: a record one int short of it fails.
  Bytes shortOfQ = a.bytes();
  shortOfQ.resize(shortOfQ.size() - 4);
  ProjectSettings t;
  EXPECT_FALSE(readRecord(shortOfQ, t));
}

}  // namespace
}  // namespace lumo::record::test
