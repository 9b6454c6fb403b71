// The record reader against records written at every version and against hand-made bytes.
#include "RecordTestSupport.h"

#include "RecordFormat.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo::record::test {
namespace {

Bytes withMarker(const Bytes& prefix, const Bytes& record) {
  Bytes out = prefix;
  const auto m = marker();
  out.insert(out.end(), m.begin(), m.end());
  out.insert(out.end(), record.begin(), record.end());
  return out;
}

bool loadExecutable(const Bytes& bytes, ProjectSettings& settings) {
  const std::wstring path = uniqueTempPath();
  FILE* f = _wfopen(path.c_str(), L"wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  const bool ok = settings.loadFromExecutable(path);
  _wremove(path.c_str());
  return ok;
}

TEST(RecordMarker, FirstOccurrenceIsFoundAndPartialMatchesResetTheCount) {
  ProjectSettings one = fullSettings(11, 10);
  ProjectSettings other = fullSettings(11, 10);
  other.title = L"second";
  const Bytes first = writeRecord(one);
  const Bytes second = writeRecord(other);
  struct Case {
    const char* name;
    Bytes file;
    bool found;
  } cases[] = {
      {"marker at the start", withMarker({}, first), true},
      {"after other bytes", withMarker(bytesOf("MZ\x90\x14\x09 image"), first), true},
      {"two markers: the first wins", withMarker(withMarker(bytesOf("image"), first), second), true},
      // 14 14 09 13 ...: the second 0x14 resets the count and does not start a new match.
      {"split by a partial match", withMarker({0x14}, first), false},
      {"no marker", bytesOf("MZ no record here"), false},
      {"marker without a record", withMarker(bytesOf("image"), {}), false},
  };
  for (const Case& c : cases) {
    ProjectSettings s;
    EXPECT_EQ(loadExecutable(c.file, s), c.found) << c.name;
    if (c.found) {
      EXPECT_EQ(s.title, L"Full project \u00e9\u4e2d") << c.name;
    }
  }
}

TEST(RecordMarker, LibraryFilesStayInTheExecutableUntilTheyAreUsed) {
  ProjectSettings full = fullSettings(11, 10);
  full.libraryFiles[L"big.bin"] = ScrambledBlob{7, StoredBlock::fromPlain(Bytes(300000, 0xA5), BlockKind::Blob)};
  const Bytes file = withMarker(bytesOf("MZ image"), writeRecord(full));
  const std::wstring path = uniqueTempPath();
  FILE* f = _wfopen(path.c_str(), L"wb");
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);

  ProjectSettings s;
  ASSERT_TRUE(s.loadFromExecutable(path));
  const ScrambledBlob* big = s.libraryFile(L"big.bin");
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->tag, 7);
  EXPECT_TRUE(big->block.stored.empty()) << "read into memory at load";
  EXPECT_EQ(big->block.slice.size, 300000);
  EXPECT_EQ(content(*big), Bytes(300000, 0xA5));
  EXPECT_EQ(content(*s.libraryFile(L"data.txt")), bytesOf("library text"));

  // A length past the end of the file still fails the load.
  Bytes cut = file;
  cut.resize(cut.size() - 100000);
  f = _wfopen(path.c_str(), L"wb");
  std::fwrite(cut.data(), 1, cut.size(), f);
  std::fclose(f);
  ProjectSettings truncated;
  EXPECT_FALSE(truncated.loadFromExecutable(path));
  _wremove(path.c_str());
}

TEST(RecordVersions, EachVersionCarriesExactlyItsFields) {
  struct Case {
    int version;
    bool extensions, secure, library, password, splash, tray, globals;
  } cases[] = {
      {1, false, false, false, false, false, false, false},
      {2, true, false, false, false, false, false, false},
      {4, true, true, true, false, false, false, false},
      {5, true, true, true, false, false, false, false},
      {7, true, true, true, true, true, false, false},
      {9, true, true, true, true, true, true, true},
      {11, true, true, true, true, true, true, true},
      {12, true, true, true, true, true, true, true},  // read as 11
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("version " + std::to_string(c.version));
    ProjectSettings s;
    ASSERT_TRUE(readRecord(writeRecord(fullSettings(c.version, 10)), s));
    EXPECT_EQ(s.version, c.version);
    EXPECT_EQ(s.title, L"Full project \u00e9\u4e2d");
    EXPECT_EQ(s.projectMode, 2);
    ASSERT_EQ(s.forms.size(), 1u);
    EXPECT_EQ(s.extensions().size(), c.extensions ? 1u : 0u);
    EXPECT_EQ(s.secureVar(L"apiKey").has_value(), c.secure);
    EXPECT_EQ(s.libraryFile(L"data.txt") != nullptr, c.library);
    EXPECT_EQ(s.passwordRequired, c.version >= 5);
    EXPECT_EQ(s.password, c.password ? L"Open Sesame" : L"");
    EXPECT_EQ(!s.splashPicture.empty(), c.splash);
    EXPECT_EQ(!s.trayIconPicture.empty(), c.tray);
    EXPECT_EQ(s.globalVar(L"lang").has_value(), c.globals);
  }
}

TEST(RecordVersions, Version11EndsWithReservedFlagQ) {
  Bytes v11 = writeRecord(fullSettings(11, 10));
  Bytes v10 = writeRecord(fullSettings(10, 10));
  ASSERT_EQ(v11.size(), v10.size() + 4);
  ProjectSettings s;
  v11.resize(v11.size() - 4);
  EXPECT_FALSE(readRecord(v11, s));
  ProjectSettings t;
  EXPECT_TRUE(readRecord(v10, t));
}

TEST(RecordValues, EveryFieldOfAFullRecordReadsBack) {
  ProjectSettings s;
  ASSERT_TRUE(readRecord(writeRecord(fullSettings(11, 10)), s));
  const FormDescription& f = *s.forms[0];
  EXPECT_EQ(f.name, L"main");
  EXPECT_TRUE(f.centred);
  EXPECT_EQ(f.x + f.y + f.sizeUnit + f.width + f.height, 10 + 20 + 1 + 640 + 480);
  EXPECT_EQ(f.windowKind * 10 + f.borderStyle, 23);
  EXPECT_TRUE(f.maximizeBox && f.minimizeBox && f.systemMenu && f.scaleEnabled && f.scaleShowAll &&
              f.visibleAtStart && f.alwaysOnTop && f.escapeCloses && f.altF4Closes && f.fixedMovieSize);
  EXPECT_EQ(f.startState, 2);
  EXPECT_EQ(f.alpha, 200);
  EXPECT_EQ(f.fadeStepMs, 15);
  EXPECT_EQ(f.fadeIn + f.fadeOut, 2);
  EXPECT_EQ(f.movieBytes(), bytesOf("FWS\x09movie bytes"));
  EXPECT_EQ(f.movieVersion(), 9);
  EXPECT_EQ(f.maskImage(), bytesOf("BM mask picture"));
  EXPECT_EQ(f.playerBackground, 0x00112233);
  EXPECT_FALSE(f.popupFrame);
  EXPECT_EQ(f.leftButtonMode * 100 + f.middleButtonMode * 10 + f.rightButtonMode, 123);
  EXPECT_EQ(f.windowTitle, L"Main window");
  EXPECT_EQ(f.positionUnit, 1);
  EXPECT_EQ(f.previewMovieBytes(), bytesOf("FWS\x08preview"));
  EXPECT_EQ(f.backgroundColour, 0x00445566);
  EXPECT_EQ(f.movieWidth * 1000 + f.movieHeight, 550400);
  EXPECT_TRUE(s.trayIconAtStart && s.showInTaskbar && s.splashEnabled);
  EXPECT_EQ(s.splashWidth + s.splashHeight + s.splashDuration, 320 + 200 + 1500);
  EXPECT_EQ(content(s.extensions()[0]), bytesOf("MZ extension"));
  EXPECT_EQ(content(*s.libraryFile(L"data.txt")), bytesOf("library text"));
  EXPECT_EQ(s.libraryFile(L"DATA.TXT"), nullptr);  // names are case-sensitive
  EXPECT_EQ(s.secureVar(L"apiKey"), L"s3cret");
  EXPECT_EQ(s.splashImage(), bytesOf("BM splash picture"));
  EXPECT_EQ(s.trayIconImage(), bytesOf("tray icon picture"));
  EXPECT_EQ(s.globalVar(L"lang"), L"en");
  EXPECT_EQ(s.globalVar(L"missing"), std::nullopt);
}

TEST(RecordValues, MovieVersionIsRewrittenInPlace) {
  ProjectSettings s = fullSettings(11, 10);
  FormDescription& f = *s.forms[0];
  f.setMovieVersion(8);
  EXPECT_EQ(f.movieVersion(), 8);
  EXPECT_EQ(f.movieBytes(), bytesOf("FWS\x08movie bytes"));
}

// A version 1 record made by hand: title, one form of version 1.
Bytes handMadeRecord(std::int32_t titleLength, std::int32_t trayFlag) {
  Bytes r;
  appendInt(r, 1);  // version
  appendInt(r, 0);  // projectMode
  appendInt(r, titleLength);
  appendText(r, L"");  // reserved A
  appendInt(r, trayFlag);
  appendInt(r, 1);  // showInTaskbar
  appendInt(r, 0);
  appendText(r, L"");  // reserved B
  appendInt(r, 1), appendInt(r, 2), appendInt(r, 3);
  appendInt(r, 1);  // one form
  appendInt(r, 1);  // formVersion
  appendText(r, L"f");
  for (int i = 0; i < 22; ++i) appendInt(r, 0);  // centred .. fadeOut, with R and S
  appendText(r, L"");                             // reserved T
  appendInt(r, 0), appendInt(r, 0);               // escape, alt-F4
  appendInt(r, 0);                                // empty movie
  return r;
}

TEST(RecordValues, NonPositiveTextLengthsReadEmptyAndTakeOnlyTheirLength) {
  for (std::int32_t length : {0, -5}) {
    ProjectSettings s;
    ASSERT_TRUE(readRecord(handMadeRecord(length, 1), s)) << length;
    EXPECT_EQ(s.title, L"");
    EXPECT_TRUE(s.trayIconAtStart);  // the next field was read from the right place
    EXPECT_EQ(s.splashDuration, 3);
  }
}

TEST(RecordValues, OnlyExactlyOneIsATrueFlag) {
  for (auto [stored, expected] : {std::pair{1, true}, {2, false}, {-1, false}, {0, false}}) {
    ProjectSettings s;
    ASSERT_TRUE(readRecord(handMadeRecord(0, stored), s));
    EXPECT_EQ(s.trayIconAtStart, expected) << stored;
  }
}

TEST(RecordValues, FormVersion1KeepsTheDefaultsOfLaterFields) {
  ProjectSettings s;
  ASSERT_TRUE(readRecord(handMadeRecord(0, 0), s));
  const FormDescription& f = *s.forms[0];
  EXPECT_EQ(f.formVersion, 1);
  EXPECT_TRUE(f.maskPicture.empty());
  EXPECT_TRUE(f.popupFrame);
  EXPECT_EQ(f.positionUnit, 0);
  EXPECT_EQ(f.windowTitle, L"form");
  EXPECT_TRUE(f.previewMovie.empty());
  EXPECT_EQ(f.movieVersion(), 0);
}

TEST(RecordValues, ARepeatedVariableNameKeepsTheLaterValue) {
  // The writer holds a map, so the duplicate is put into the bytes by hand: two entries of
  // the global table, then the reserved texts and flag of version 11.
  ProjectSettings base = fullSettings(11, 10);
  base.globalVariables.clear();
  Bytes r = writeRecord(base);
  const std::size_t tail = 4 + 7 * 4 + 4;  // global count, J to P, Q
  r.resize(r.size() - tail);
  appendInt(r, 2);
  for (const wchar_t* value : {L"first", L"second"}) {
    appendText(r, L"same");
    appendInt(r, 0);  // kind 0: a plain text, enciphered on reading
    appendText(r, value);
  }
  for (int i = 0; i < 8; ++i) appendInt(r, 0);
  ProjectSettings s;
  ASSERT_TRUE(readRecord(r, s));
  EXPECT_EQ(s.globalVariables.size(), 1u);
  EXPECT_EQ(s.globalVar(L"same"), L"second");
}

TEST(TextTransformation, LongTextsChangeOneByteABlockAndTheWholeTail) {
  for (std::size_t n : {600u, 512u}) {
    Bytes text(n, 0);
    transformText(text);
    EXPECT_NE(text[0], 0) << n;
    for (std::size_t i = 1; i < 512; ++i) ASSERT_EQ(text[i], 0) << n << " byte " << i;
    std::size_t changed = 0;
    for (std::size_t i = 512; i < n; ++i) changed += text[i] != 0;
    // K0 + R + K1·j is zero for at most a few j; 88 tail bytes nearly all change.
    EXPECT_GE(changed, n == 600 ? 80u : 0u) << n;
    EXPECT_EQ(n == 512 ? changed : 0u, 0u);
  }
  Bytes shortText(10, 0);
  transformText(shortText);
  for (std::size_t j = 0; j < 10; ++j) EXPECT_EQ(shortText[j], static_cast<std::uint8_t>(K0 + 10 + K1 * j));
}

TEST(ProtectedStrings, SizeIsTheTextAndTerminatorInWholeBlocks) {
  for (auto [text, size] : {std::pair{L"a", 8u}, {L"abc", 8u}, {L"abcd", 16u}, {L"\u00e9t\u00e9 \u4e2d", 16u}}) {
    ProtectedString p;
    p.set(text);
    EXPECT_EQ(p.enciphered().size(), size) << size;
    EXPECT_EQ(p.get(), text);
  }
  ProtectedString p;
  p.set(L"keep");
  p.set(L"");  // an empty text keeps the value
  EXPECT_EQ(p.get(), L"keep");
  EXPECT_EQ(ProtectedString{}.get(), L"");
}

}  // namespace
}  // namespace lumo::record::test
