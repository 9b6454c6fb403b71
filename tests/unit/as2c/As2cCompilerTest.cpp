// The compiler's pipeline on small programs: the actions it emits, how the target version
// changes them, and the errors it reports with their places.
#include "Compiler.h"
#include "SwfWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace as2c {
namespace {

std::string hex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string compiled(const char* source, int version = 8) { return hex(compileActions(source, version)); }

TEST(As2cCodeTest, AdjacentValuesShareOnePush) {
  // Push "x", 1 (one Push of a string and an integer), SetVariable.
  EXPECT_EQ(compiled("x = 1;"), "96 08 00 00 78 00 07 01 00 00 00 1D");
  // A value that is not an integer is a double: high word first, then low word.
  EXPECT_EQ(compiled("trace(0.5);"), "96 09 00 06 00 00 E0 3F 00 00 00 00 26");
}

TEST(As2cCodeTest, IfJumpsCountFromTheEndOfTheJump) {
  // Push x, GetVariable, Not, If +6 (over Push 1 + Trace), Push 1, Trace.
  EXPECT_EQ(compiled("if (x) trace(1);"), "96 03 00 00 78 00 1C 12 9D 02 00 09 00 96 05 00 07 01 00 00 00 26");
}

TEST(As2cCodeTest, FunctionLocalsGoInRegistersUnlessAnInnerFunctionSeesThem) {
  // f(a) { var b = a; return b; }: DefineFunction2 "f", 1 parameter, 3 registers, flags
  // suppress this, arguments and super; a in register 1, b in register 2.
  const std::string f = compiled("function f(a) { var b = a; return b; }");
  EXPECT_EQ(f.substr(0, 44), "8E 0C 00 66 00 01 00 03 2A 00 01 61 00 10 00");
  EXPECT_NE(f.find("87 01 00 02 17"), std::string::npos);  // StoreRegister 2, Pop

  // n is captured by the inner function: it stays a named local (DefineLocal).
  const std::string g = compiled("function g() { var n = 0; return function () { return n; }; }");
  EXPECT_NE(g.find("00 6E 00"), std::string::npos);
  EXPECT_NE(g.find("3C"), std::string::npos);
  EXPECT_EQ(g.find("87 01"), std::string::npos);
}

TEST(As2cCodeTest, ThisAndArgumentsArePreloadedWhenUsed) {
  const Bytes code = compileActions("function f() { return this.x + arguments.length; }", 8);
  // flags: preload this (1) and arguments (4), suppress super (0x20)
  ASSERT_GT(code.size(), 10u);
  EXPECT_EQ(code[8], 0x25);
  EXPECT_EQ(code[9], 0x00);
}

TEST(As2cCodeTest, OlderVersionsGetTheirOwnActions) {
  // SWF 6 has no DefineFunction2: DefineFunction with parameter names.
  EXPECT_EQ(compiled("function f(a) {}", 6).substr(0, 2), "9B");
  // SWF 5 has no Greater: the operands swap and Less2 compares.
  const std::string v5 = compiled("x = a > b;", 5);
  EXPECT_EQ(v5.substr(v5.size() - 8), "4D 48 1D");
  EXPECT_NE(compiled("x = a > b;", 6).find("67 1D"), std::string::npos);
}

TEST(As2cCodeTest, NamesIgnoreCaseUpToSwf6) {
  // "TRACE" is the trace intrinsic at SWF 6, an ordinary function call at SWF 7.
  EXPECT_EQ(compiled("TRACE(1);", 6), "96 05 00 07 01 00 00 00 26");
  EXPECT_NE(compiled("TRACE(1);", 7).find("3D"), std::string::npos);
}

TEST(As2cCodeTest, IntrinsicsBecomeTheirActions) {
  // loadMovieNum(url, 0): Push url, "_level0", GetURL2 0.
  EXPECT_EQ(compiled("loadMovieNum(\"a\", 0);"), "96 0C 00 00 61 00 00 5F 6C 65 76 65 6C 30 00 9A 01 00 00");
  // fscommand("quit"): Push "FSCommand:quit", "", GetURL2 0.
  EXPECT_EQ(compiled("fscommand(\"quit\");").substr(0, 2), "96");
  EXPECT_NE(compiled("fscommand(\"quit\");").find("9A 01 00 00"), std::string::npos);
}

struct ErrorCase {
  const char* source;
  int version;
  int line, column;
  const char* message;
};

TEST(As2cErrorTest, ErrorsCarryTheirPlace) {
  const ErrorCase cases[] = {
      {"var x = ;", 8, 1, 9, "expected an expression, found ';'"},
      {"x = \"open", 8, 1, 5, "unterminated string"},
      {"\n  /* never closed", 8, 2, 3, "unterminated comment"},
      {"x = 1 y = 2;", 8, 1, 7, "expected ';'"},
      {"try { } catch (e) { }", 6, 1, 1, "the Try action of SWF 7"},
      {"throw 1;", 6, 1, 1, "the Throw action of SWF 7"},
      {"x = a === b;", 5, 1, 5, "the StrictEquals action of SWF 6"},
      {"x = a instanceof b;", 5, 1, 5, "the InstanceOf action of SWF 6"},
      {"break;", 8, 1, 1, "'break' outside a loop or switch"},
      {"while (1) { try { break; } catch (e) {} }", 8, 1, 19, "'break' out of a try block"},
      {"return 1;", 8, 1, 1, "'return' outside a function"},
      {"1 = 2;", 8, 1, 3, "cannot be assigned"},
      {"class A {}", 8, 1, 1, "'class' is not supported"},
      {"x = \"\\u12\";", 8, 1, 10, "bad escape"},
      {"x = \"\\u00e9\";", 5, 1, 5, "beyond ASCII needs SWF 6"},
      {"getURL(\"a\", \"_self\", \"PUT\");", 8, 1, 22, "\"GET\" or \"POST\""},
      {"trace(1, 2);", 8, 1, 1, "trace takes 1 arguments"},
      {"a[f()] += 1;", 6, 1, 3, "give the computed member a simple index"},
      {"x = 1 @ 2;", 8, 1, 7, "unexpected character '@'"},
  };
  for (const auto& c : cases) {
    try {
      compileActions(c.source, c.version);
      ADD_FAILURE() << "no error for: " << c.source;
    } catch (const CompileError& error) {
      EXPECT_EQ(error.at().line, c.line) << c.source;
      EXPECT_EQ(error.at().column, c.column) << c.source;
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.source << ": " << error.what();
    }
  }
}

TEST(As2cSwfTest, TheMovieHasTheRequestedTagsInOrder) {
  MovieSettings settings;
  for (const char* text : {"file-attributes=0", "script-limits=2000,65535", "background=FFFFFF", "actions", "placed-object"}) {
    TagRequest tag{};
    ASSERT_TRUE(parseTagRequest(text, tag)) << text;
    settings.tags.push_back(tag);
  }
  const Bytes swf = writeSwf(settings, compileActions("x = 1;", 8));
  ASSERT_GT(swf.size(), 20u);
  EXPECT_EQ(std::string(swf.begin(), swf.begin() + 3), "FWS");
  EXPECT_EQ(swf[3], 8);
  EXPECT_EQ(swf[4] | swf[5] << 8 | swf[6] << 16 | swf[7] << 24, static_cast<int>(swf.size()));
  // Stage 550x400: 15-bit fields, 9 bytes; then 12 fps (8.8) and one frame.
  EXPECT_EQ(hex(Bytes(swf.begin() + 17, swf.begin() + 21)), "00 0C 01 00");
  // Walk the tags: codes in order, lengths consistent up to End.
  std::vector<unsigned> codes;
  size_t at = 21;
  while (at + 2 <= swf.size()) {
    const unsigned header = swf[at] | swf[at + 1] << 8;
    size_t length = header & 0x3F;
    at += 2;
    if (length == 0x3F) {
      length = swf[at] | swf[at + 1] << 8 | swf[at + 2] << 16 | static_cast<size_t>(swf[at + 3]) << 24;
      at += 4;
    }
    codes.push_back(header >> 6);
    at += length;
  }
  EXPECT_EQ(at, swf.size());
  EXPECT_EQ(codes, (std::vector<unsigned>{69, 65, 9, 12, 39, 26, 1, 0}));

  TagRequest bad{};
  for (const char* text : {"background=FFF", "script-limits=2000", "script-limits=70000,1", "sound", "actions=1"})
    EXPECT_FALSE(parseTagRequest(text, bad)) << text;
}

}  // namespace
}  // namespace as2c
