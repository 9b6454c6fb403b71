#include "host/MovieStream.h"

#include "CallBoundary.h"
#include "ComOwnership.h"

#include <atomic>
#include <vector>

namespace lumo {

namespace {

// The writer side: an IStream over the data side whose last release completes the data.
class MovieStreamWriter final : public IStream {
 public:
  explicit MovieStreamWriter(std::shared_ptr<MovieStream> data) : data_(std::move(data)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      // Completing hands the movie to a waiting player: our code, behind the caller's boundary.
      atBoundary("movie stream completion", [&] { data_->complete(); });
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG* read) override {
    if (read) *read = 0;
    return E_NOTIMPL;  // the writer side only writes
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
    return atBoundary("movie stream Write", HRESULT{E_OUTOFMEMORY}, [&] { return data_->write(data, size, written); });
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    return atBoundary("movie stream Seek", HRESULT{E_FAIL}, [&] { return data_->seek(move, origin, position); });
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override {
    return atBoundary("movie stream Stat", HRESULT{E_FAIL}, [&] { return data_->stat(stat, flags); });
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  std::atomic<ULONG> references_{1};
  std::shared_ptr<MovieStream> data_;
};

// The binding handed to OnStartBinding: the data is in memory, so there is nothing to abort.
class CompletedBinding final : public IBinding {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IBinding) {
      *object = static_cast<IBinding*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Abort() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Suspend() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPriority(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override {
    if (!priority) return E_POINTER;
    *priority = THREAD_PRIORITY_NORMAL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace

std::shared_ptr<MovieStream> MovieStream::create() {
  Microsoft::WRL::ComPtr<IStream> data;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &data))) return nullptr;
  return std::shared_ptr<MovieStream>(new MovieStream(std::move(data)));
}

Microsoft::WRL::ComPtr<IStream> MovieStream::writer() {
  return adoptReference<IStream>(new MovieStreamWriter(shared_from_this()));
}

HRESULT MovieStream::write(const void* data, ULONG size, ULONG* written) {
  std::lock_guard<std::mutex> held(lock_);
  return data_->Write(data, size, written);
}

HRESULT MovieStream::seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  std::lock_guard<std::mutex> held(lock_);
  return data_->Seek(move, origin, position);
}

HRESULT MovieStream::stat(STATSTG* stat, DWORD flags) {
  std::lock_guard<std::mutex> held(lock_);
  return data_->Stat(stat, flags);
}

Microsoft::WRL::ComPtr<IStream> MovieStream::contents() {
  std::lock_guard<std::mutex> held(lock_);
  Microsoft::WRL::ComPtr<IStream> clone;
  if (FAILED(data_->Clone(&clone))) return nullptr;
  const LARGE_INTEGER start{};
  clone->Seek(start, STREAM_SEEK_SET, nullptr);
  return clone;
}

void MovieStream::attach(Microsoft::WRL::ComPtr<IBindStatusCallback> callback) {
  std::unique_lock<std::mutex> held(lock_);
  callback_ = std::move(callback);
  deliverIfReady(held);
}

void MovieStream::complete() {
  std::unique_lock<std::mutex> held(lock_);
  dataComplete_ = true;
  deliverIfReady(held);
}

bool MovieStream::completed() {
  std::lock_guard<std::mutex> held(lock_);
  return dataComplete_;
}

void MovieStream::copyFrom(IStream* source) {
  const LARGE_INTEGER start{};
  source->Seek(start, STREAM_SEEK_SET, nullptr);
  std::vector<char> piece(0x100000);
  ULONG read = 0;
  while (SUCCEEDED(source->Read(piece.data(), static_cast<ULONG>(piece.size()), &read)) && read > 0) {
    write(piece.data(), read, nullptr);
    read = 0;
  }
  complete();
}

void MovieStream::deliverIfReady(std::unique_lock<std::mutex>& held) {
  if (!callback_ || !dataComplete_ || bindingStarted_) return;
  bindingStarted_ = true;
  const Microsoft::WRL::ComPtr<IBindStatusCallback> callback = callback_;
  Microsoft::WRL::ComPtr<IStream> stream;
  data_->Clone(&stream);
  STATSTG stat{};
  data_->Stat(&stat, STATFLAG_NONAME);
  // The player is called without the lock: it may read the stream or start another bind.
  held.unlock();
  const LARGE_INTEGER start{};
  if (stream) stream->Seek(start, STREAM_SEEK_SET, nullptr);
  const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);

  const auto binding = adoptReference<IBinding>(new CompletedBinding);
  callback->OnStartBinding(0, binding.Get());
  callback->OnProgress(size, size, BINDSTATUS_ENDDOWNLOADDATA, L"");
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
  STGMEDIUM medium{};
  medium.tymed = TYMED_ISTREAM;
  medium.pstm = stream.Get();
  callback->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION | BSCF_DATAFULLYAVAILABLE,
                            size, &format, &medium);
  callback->OnStopBinding(S_OK, L"");
  held.lock();
  bindingStopped_ = true;
  callback_.Reset();  // the player's callback is not kept past its binding
}

}  // namespace lumo
