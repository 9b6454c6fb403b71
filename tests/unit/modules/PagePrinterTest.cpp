// printVar's page drawn into an enhanced metafile: the text records, their positions and the
// viewport origin are read back from the recording.
#include "modules/PagePrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

struct Recording {
  POINT viewportOrigin{-1, -1};
  struct Text {
    std::wstring text;
    POINT position;
  };
  std::vector<Text> texts;
};

int CALLBACK collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  auto* recording = reinterpret_cast<Recording*>(data);
  if (record->iType == EMR_SETVIEWPORTORGEX) {
    const POINTL origin = reinterpret_cast<const EMRSETVIEWPORTORGEX*>(record)->ptlOrigin;
    recording->viewportOrigin = {origin.x, origin.y};
  } else if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* characters =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
    recording->texts.push_back({std::wstring(characters, text->emrtext.nChars),
                                {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y}});
  }
  return 1;
}

Recording recordPage(const std::wstring& text) {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  drawPrintedPage(dc, text);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  Recording recording;
  EnumEnhMetaFile(nullptr, metafile, collect, &recording, nullptr);
  DeleteEnhMetaFile(metafile);
  return recording;
}

int fixedFontLineHeight() {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  DeleteDC(dc);
  return metrics.tmHeight;
}

TEST(PrintedPage, EachCarriageReturnStartsALineOneLineHeightLower) {
  const Recording page = recordPage(L"first\r\nsecond\r\nthird");
  const int line = fixedFontLineHeight();
  ASSERT_GT(line, 0);
  EXPECT_EQ(page.viewportOrigin.x, 80);
  EXPECT_EQ(page.viewportOrigin.y, 100);
  ASSERT_EQ(page.texts.size(), 3u);
  // Line feeds are not interpreted: each later line begins with one.
  const std::wstring expected[] = {L"first", L"\nsecond", L"\nthird"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(page.texts[i].text, expected[i]);
    EXPECT_EQ(page.texts[i].position.x, 2);
    EXPECT_EQ(page.texts[i].position.y, line * static_cast<int>(i + 1));
  }
}

TEST(PrintedPage, TextWithoutCarriageReturnIsOneLine) {
  const Recording page = recordPage(L"one\ntwo");
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].text, L"one\ntwo");
  EXPECT_EQ(page.texts[0].position.x, 2);
  EXPECT_EQ(page.texts[0].position.y, fixedFontLineHeight());
}

TEST(PrintedPage, APrintWithoutAPrinterEndsSilently) {
  // Wine here has no printer: the default printer is not found and nothing is drawn.
  printPage(nullptr, L"nothing to print", false, L"Lumo");
}

}  // namespace
}  // namespace lumo
