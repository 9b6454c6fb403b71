// One download of a movie or a resource through a URL moniker: our own IBindStatusCallback
// collects the data from OnDataAvailable and reports the end to the player's window, since the
// binding may finish on another thread or inside BindToStorage itself.
#pragma once

#include <urlmon.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class MovieDownload final : public IBindStatusCallback {
 public:
  // Posts `doneMessage` (wParam id) when the binding ends and `progressMessage` (wParam id,
  // lParam percent) while data arrives, both to `window`.
  MovieDownload(HWND window, UINT doneMessage, UINT progressMessage, WPARAM id);

  // Starts the bind; the end is always reported through the window, also on failure.
  void start(const std::wstring& url);

  // Valid once the done message arrived.
  HRESULT result() const { return result_; }
  std::vector<uint8_t> takeData();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IBindStatusCallback
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
  HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG status, LPCWSTR text) override;
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID riid, IUnknown* object) override;

 private:
  ~MovieDownload() = default;
  void readStream(IStream* stream);
  void finish(HRESULT result);

  std::atomic<ULONG> refs_{1};
  HWND window_;
  UINT doneMessage_;
  UINT progressMessage_;
  WPARAM id_;
  std::mutex lock_;
  std::vector<uint8_t> data_;
  std::atomic<ULONG> expected_{0};
  std::atomic<bool> finished_{false};
  HRESULT result_ = E_PENDING;
};
