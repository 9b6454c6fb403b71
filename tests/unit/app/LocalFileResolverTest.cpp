// Movie URLs answered from files under the working directory.
#include "LocalFileResolver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace lumo {
namespace {

TEST(LocalFileResolver, MapsLocalUrlsUnderTheWorkingDirectory) {
  struct Case {
    const wchar_t* url;
    const wchar_t* path;  // nullptr: not handled
  } cases[] = {
      {L"http://lumo/images/a.jpg", L"C:\\run\\images/a.jpg"},  // the slash stays
      {L"file:///data/x.txt", L"C:\\run\\data\\x.txt"},
      {L"file://x.txt", L"C:\\runx.txt"},  // no separator is added
      {L"HTTP://LUMO/images/a.jpg", nullptr},  // prefixes are case-sensitive
      {L"http://example.org/a.jpg", nullptr},
      {L"movie.swf", nullptr},
      {L"http://lumo/a/./b.txt", L"C:\\run\\a/./b.txt"},
      {L"http://lumo/a..b/c...txt", L"C:\\run\\a..b/c...txt"},  // dots inside names are names
      // A ".." segment anywhere is refused, even where it would stay inside.
      {L"http://lumo/a/../b.txt", nullptr},
      {L"http://lumo/../secret.txt", nullptr},
      {L"http://lumo/a/../../secret.txt", nullptr},
      {L"file:///..\\..\\windows\\win.ini", nullptr},
      {L"file://q/../x.txt", nullptr},  // C:\runq\..\x.txt is C:\x.txt
      {L"file://q\\..\\x.txt", nullptr},
      {L"file://..", nullptr},
      // Absolute file URLs (the bridge's "file://\\C|\\...\\~swd1.dat") are the player's own to load.
      {L"file://\\C|\\t\\~swd1.dat", nullptr},
      {L"file:///C|/t/a.swf", nullptr},
      {L"file:///c:/t/a.swf", nullptr},
      {L"file:///Cd/x.txt", L"C:\\run\\Cd\\x.txt"},
  };
  for (const Case& c : cases) {
    const auto path = resolveMovieUrl(c.url, L"C:\\run");
    if (c.path) {
      EXPECT_EQ(path, std::wstring(c.path)) << c.url;
    } else {
      EXPECT_EQ(path, std::nullopt) << c.url;
    }
  }
  EXPECT_EQ(resolveMovieUrl(L"http://lumo/a.jpg", L"C:\\"), L"C:\\a.jpg");
}

TEST(LocalFileResolver, OpensTheWholeFileAsAStreamOrAnswersNotHandled) {
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  SetCurrentDirectoryW(temp);
  const std::string content(3 * 1024 * 1024 + 17, 'x');  // more than one 1 MB piece
  FILE* f = _wfopen(L"lumo-resolver.bin", L"wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);

  Microsoft::WRL::ComPtr<IStream> stream;
  ASSERT_EQ(openMovieResource(L"http://lumo/lumo-resolver.bin", stream), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  EXPECT_EQ(stat.cbSize.QuadPart, content.size());
  char first[4] = {};
  ULONG read = 0;
  stream->Read(first, 4, &read);
  EXPECT_EQ(std::string(first, read), "xxxx") << "positioned at the start";

  Microsoft::WRL::ComPtr<IStream> missing;
  EXPECT_EQ(openMovieResource(L"http://lumo/no-such-file.bin", missing), E_FAIL);
  EXPECT_EQ(openMovieResource(L"HTTP://LUMO/lumo-resolver.bin", missing), E_FAIL);
  EXPECT_EQ(missing, nullptr);
  DeleteFileW(L"lumo-resolver.bin");
  SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace lumo
