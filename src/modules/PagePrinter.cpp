// The printed page of printVar and its print job.
#include "modules/PagePrinter.h"

#include "DeviceContext.h"
#include "UniqueHandle.h"
#include "bridge/TextHelpers.h"

#include <commdlg.h>

namespace lumo {

void drawPrintedPage(HDC dc, const std::wstring& text) {
  ScopedSelect font(dc, GetStockObject(ANSI_FIXED_FONT));
  SetMapMode(dc, MM_TEXT);
  SetViewportOrgEx(dc, 80, 100, nullptr);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int lineHeight = metrics.tmHeight;
  // Line feeds stay in the text: a CR LF pair starts each later line with the line feed.
  const std::vector<std::wstring> lines =
      text.find(L'\r') == std::wstring::npos ? std::vector<std::wstring>{text} : split(text, L"\r");
  int y = lineHeight;
  for (const std::wstring& line : lines) {
    TextOutW(dc, 2, y, line.c_str(), static_cast<int>(line.size()));
    y += lineHeight;
  }
}

void printPage(HWND owner, const std::wstring& text, bool showDialog, const std::wstring& documentName) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.Flags = PD_RETURNDC | (showDialog ? 0 : PD_RETURNDEFAULT);
  dialog.nCopies = 1;
  const bool chosen = PrintDlgW(&dialog) && dialog.hDC;
  // The dialog's settings blocks belong to the caller.
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  if (!chosen) return;

  UniqueDc printer(dialog.hDC);
  HDC dc = printer.get();
  DOCINFOW document{};
  document.cbSize = sizeof(document);
  document.lpszDocName = documentName.c_str();
  if (StartDocW(dc, &document) > 0) {
    if (StartPage(dc) > 0) {
      drawPrintedPage(dc, text);
      EndPage(dc);
    }
    EndDoc(dc);
  }
}

}  // namespace lumo
