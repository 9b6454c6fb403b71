// Static TLS of a hand-mapped image: a slot in every thread's TLS vector (the array the
// compiler's code reaches through the TEB and the image's _tls_index), with a per-thread block.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>


namespace lumo {

class StaticTls {
 public:
  // The template of a TLS directory, already relocated. Null when the directory holds no data
  // and no index (nothing to set up); `malformed` is set when it points outside the image.
  static std::unique_ptr<StaticTls> fromDirectory(uint8_t* imageBase, size_t imageSize,
                                                  const IMAGE_TLS_DIRECTORY& directory, bool* malformed);

  StaticTls(const StaticTls&) = delete;
  StaticTls& operator=(const StaticTls&) = delete;
  // Frees every thread's block and puts back each thread's own vector.
  ~StaticTls();

  // Chooses the index, writes it into the image and gives every running thread its block.
  bool start();
  // The calling thread's block (idempotent): every new thread gets one before the image hears of it.
  void addCurrentThread();
  // The calling thread's block goes when the thread ends, after the image heard of it.
  void removeCurrentThread();
  // Puts the slot back where the system replaced a thread's vector (it does so when it loads a
  // library that has TLS of its own).
  void refresh();

  DWORD index() const { return index_; }

 private:
  StaticTls(const uint8_t* start, size_t templateSize, size_t zeroFill, DWORD* indexSlot)
      : templateStart_(start), templateSize_(templateSize), zeroFill_(zeroFill), indexSlot_(indexSlot) {}

  struct ThreadSlot {
    DWORD threadId = 0;
    HANDLE thread = nullptr;        // keeps the id from being reused while the slot exists
    void** vectorHome = nullptr;    // the TEB field that points to the thread's vector
    void** systemVector = nullptr;  // the vector the system gave the thread, put back at the end
    void** ownVector = nullptr;     // the longer copy that holds the slot
    void* block = nullptr;
  };
  void* newBlock() const;
  bool install(ThreadSlot& slot);
  bool addThread(DWORD threadId, HANDLE thread, void** vectorHome);
  void release(ThreadSlot& slot, bool threadAlive);

  const uint8_t* templateStart_;
  size_t templateSize_;
  size_t zeroFill_;
  DWORD* indexSlot_;
  DWORD index_ = 0;
  std::mutex lock_;
  std::vector<ThreadSlot> threads_;
};

}  // namespace lumo
