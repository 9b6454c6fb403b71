// A movie stream pair: the data side, an in-memory stream the player binds to, and the writer
// side handed to whoever supplies the bytes. The last release of the writer completes the
// data; the player then receives the whole stream in one OnDataAvailable.
#pragma once

#include <windows.h>
#include <urlmon.h>
#include <wrl/client.h>

#include <memory>
#include <mutex>

namespace lumo {

class MovieStream : public std::enable_shared_from_this<MovieStream> {
 public:
  // A new pair's data side; null when no memory stream can be made.
  static std::shared_ptr<MovieStream> create();

  // A new writer side (one reference for the caller). Releasing it completes the data.
  Microsoft::WRL::ComPtr<IStream> writer();

  // The player's bind-status callback: it is told of the data once the data is complete.
  void attach(Microsoft::WRL::ComPtr<IBindStatusCallback> callback);
  void complete();
  bool completed();
  // Copies `source` from its start in 1 MB pieces until a read gives nothing, then completes.
  void copyFrom(IStream* source);

  HRESULT write(const void* data, ULONG size, ULONG* written);
  HRESULT seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position);
  HRESULT stat(STATSTG* stat, DWORD flags);
  // The data as written so far, positioned at its start (a clone with its own position).
  Microsoft::WRL::ComPtr<IStream> contents();

 private:
  explicit MovieStream(Microsoft::WRL::ComPtr<IStream> data) : data_(std::move(data)) {}
  // Tells the player, once, when both the callback and the complete data are there.
  void deliverIfReady(std::unique_lock<std::mutex>& held);

  std::mutex lock_;
  Microsoft::WRL::ComPtr<IStream> data_;
  Microsoft::WRL::ComPtr<IBindStatusCallback> callback_;
  bool dataComplete_ = false;
  bool bindingStarted_ = false;
  bool bindingStopped_ = false;
};

}  // namespace lumo
