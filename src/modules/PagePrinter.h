// printVar's page: the text drawn into any device context, so the layout can be checked on a
// metafile, and the print job around it.
#pragma once

#include <windows.h>

#include <string>

namespace lumo {

// Fixed-pitch font, one logical unit per pixel, origin at (80, 100); one line per carriage
// return, the first at (2, line height), each next one a line height lower.
void drawPrintedPage(HDC dc, const std::wstring& text);

// Asks for a printer (its dialog only when `showDialog`), prints the page as a document named
// `documentName`; a cancelled dialog or a refused document ends silently.
void printPage(HWND owner, const std::wstring& text, bool showDialog, const std::wstring& documentName);

}  // namespace lumo
