// URL-moniker downloads: CreateURLMoniker, an asynchronous bind context with our callback,
// BindToStorage for an IStream, the data pulled in OnDataAvailable until OnStopBinding.
#include "MovieDownload.h"

#include "PlayerBoundary.h"

#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

MovieDownload::MovieDownload(HWND window, UINT doneMessage, UINT progressMessage, WPARAM id)
    : window_(window), doneMessage_(doneMessage), progressMessage_(progressMessage), id_(id) {}

void MovieDownload::start(const std::wstring& url) {
  ComPtr<IMoniker> moniker;
  HRESULT hr = CreateURLMoniker(nullptr, url.c_str(), &moniker);
  ComPtr<IBindCtx> context;
  if (SUCCEEDED(hr)) hr = CreateAsyncBindCtx(0, this, nullptr, &context);
  if (FAILED(hr)) {
    finish(hr);
    return;
  }
  ComPtr<IStream> stream;
  hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, reinterpret_cast<void**>(stream.GetAddressOf()));
  if (FAILED(hr)) {
    finish(hr);
  } else if (hr == S_OK && stream && !finished_) {
    // A binding that answered synchronously without calling us back hands the data over here.
    readStream(stream.Get());
    finish(S_OK);
  }
  // The binding keeps its own reference to this callback for as long as it runs.
}

std::vector<uint8_t> MovieDownload::takeData() {
  std::lock_guard<std::mutex> guard(lock_);
  return std::move(data_);
}

void MovieDownload::finish(HRESULT result) {
  if (finished_.exchange(true)) return;
  result_ = result;
  PostMessageW(window_, doneMessage_, id_, 0);
}

void MovieDownload::readStream(IStream* stream) {
  char buffer[64 * 1024];
  for (;;) {
    ULONG got = 0;
    HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
    if (got > 0) {
      std::lock_guard<std::mutex> guard(lock_);
      data_.insert(data_.end(), buffer, buffer + got);
    }
    if (hr != S_OK || got == 0) break;  // S_FALSE at the end, E_PENDING until more arrives
  }
  size_t have;
  {
    std::lock_guard<std::mutex> guard(lock_);
    have = data_.size();
  }
  if (expected_ > 0) {
    LPARAM percent = static_cast<LPARAM>(std::min<size_t>(100, have * 100 / expected_));
    PostMessageW(window_, progressMessage_, id_, percent);
  }
}

HRESULT STDMETHODCALLTYPE MovieDownload::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
    *out = static_cast<IBindStatusCallback*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MovieDownload::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE MovieDownload::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE MovieDownload::OnStartBinding(DWORD, IBinding*) { return S_OK; }
HRESULT STDMETHODCALLTYPE MovieDownload::GetPriority(LONG* priority) {
  if (!priority) return E_POINTER;
  *priority = THREAD_PRIORITY_NORMAL;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE MovieDownload::OnLowResource(DWORD) { return S_OK; }

HRESULT STDMETHODCALLTYPE MovieDownload::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR) {
  if (progressMax > 0) {
    expected_ = progressMax;
    PostMessageW(window_, progressMessage_, id_, static_cast<LPARAM>(std::min<ULONG>(100, MulDiv(progress, 100, progressMax))));
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MovieDownload::OnStopBinding(HRESULT result, LPCWSTR) {
  return guardedCall("player download end", HRESULT{E_FAIL}, [&]() -> HRESULT {
    finish(result);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE MovieDownload::GetBindInfo(DWORD* flags, BINDINFO* info) {
  if (!flags || !info) return E_POINTER;
  *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION;
  ULONG size = info->cbSize;
  ZeroMemory(info, size);
  info->cbSize = size;
  info->dwBindVerb = BINDVERB_GET;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MovieDownload::OnDataAvailable(DWORD, DWORD size, FORMATETC*, STGMEDIUM* medium) {
  if (size > expected_) expected_ = size;
  HRESULT hr = guardedCall("player download data", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
    if (medium && medium->tymed == TYMED_ISTREAM && medium->pstm) readStream(medium->pstm);
    return S_OK;
  });
  // Data that could not be kept ends the download as failed: a cut movie must not play.
  if (FAILED(hr)) finish(hr);
  return hr;
}

HRESULT STDMETHODCALLTYPE MovieDownload::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }
