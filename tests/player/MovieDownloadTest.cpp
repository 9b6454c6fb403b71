// The download callback at the binding's boundary: data the player cannot keep ends the download
// as failed, once, and nothing thrown reaches the binding that called it.
#include "MovieDownload.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

constexpr UINT kDone = WM_APP + 1, kProgress = WM_APP + 2;

// A stream that hands out a few bytes, then fails the way `fault` says.
class FailingStream : public IStream {
 public:
  explicit FailingStream(int fault) : fault_(fault) {}
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    if (reads_++ == 0 && size >= 4) {
      memcpy(buffer, "FWS\x09", 4);
      *read = 4;
      return S_OK;
    }
    if (fault_ == 0) throw std::bad_alloc();
    if (fault_ == 1) throw std::length_error("vector");
    throw 7;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  int fault_;
  int reads_ = 0;
};

int doneMessages(HWND window, WPARAM id) {
  int count = 0;
  MSG message;
  while (PeekMessageW(&message, window, kDone, kDone, PM_REMOVE))
    if (message.wParam == id) ++count;
  return count;
}

TEST(MovieDownload, AStreamThatFailsMidReadEndsTheDownloadAsFailedOnce) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  for (int fault : {0, 1, 2}) {
    SCOPED_TRACE(fault);
    auto* download = new MovieDownload(window, kDone, kProgress, 40 + fault);  // holds one reference
    FailingStream stream(fault);
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = &stream;
    EXPECT_EQ(download->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION, 4, nullptr, &medium), E_OUTOFMEMORY);
    // The binding then stops as it would after a refused notification; the end stays the failure.
    EXPECT_EQ(download->OnStopBinding(S_OK, nullptr), S_OK);
    EXPECT_EQ(doneMessages(window, 40 + fault), 1);
    EXPECT_EQ(download->result(), E_OUTOFMEMORY);
    download->Release();
  }
  DestroyWindow(window);
}

}  // namespace
