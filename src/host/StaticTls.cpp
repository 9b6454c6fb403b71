// Each thread's TLS vector is replaced by a longer copy that also holds the image's slot; the
// system's own vector is put back when the thread ends or the image goes, so the system only
// ever frees what it allocated. Vectors change under the loader lock, which is taken first.
#include "host/StaticTls.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace lumo {
namespace {

// The TEB field ThreadLocalStoragePointer is the twelfth pointer-sized field on both
// architectures (0x58 on x86_64, 0x2C on x86).
constexpr size_t kVectorField = 11 * sizeof(void*);
// Slots below this are left to the system, which hands them out to libraries with TLS in load
// order; each mapped image takes the next one above.
constexpr DWORD kFirstIndex = 64;
std::atomic<DWORD> gNextIndex{kFirstIndex};

struct ThreadBasicInformation {
  LONG exitStatus;
  void* tebBaseAddress;
  void* clientId[2];
  ULONG_PTR affinityMask;
  LONG priority;
  LONG basePriority;
};

template <typename Function>
Function ntdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name))) : nullptr;
}

// The loader lock, held while vectors are read and replaced (the system changes them under it).
class LoaderLock {
 public:
  LoaderLock() {
    static const auto lock = ntdllFunction<LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*)>("LdrLockLoaderLock");
    if (lock && lock(0, nullptr, &cookie_) >= 0) held_ = true;
  }
  ~LoaderLock() {
    static const auto unlock = ntdllFunction<LONG(NTAPI*)(ULONG, ULONG_PTR)>("LdrUnlockLoaderLock");
    if (held_ && unlock) unlock(0, cookie_);
  }
  LoaderLock(const LoaderLock&) = delete;
  LoaderLock& operator=(const LoaderLock&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool held_ = false;
};

void** threadVectorHome(HANDLE thread) {
  static const auto query =
      ntdllFunction<LONG(NTAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*)>("NtQueryInformationThread");
  ThreadBasicInformation information{};
  if (!query || query(thread, 0, &information, sizeof information, nullptr) < 0 || !information.tebBaseAddress)
    return nullptr;
  return reinterpret_cast<void**>(static_cast<uint8_t*>(information.tebBaseAddress) + kVectorField);
}

// How many entries of a system vector can be read: its heap block's size when the process heap
// knows it, else no more than `wanted` and never past the committed memory it lies in.
size_t readableEntries(void** vector, size_t wanted) {
  if (!vector) return 0;
  const SIZE_T heapSize = HeapSize(GetProcessHeap(), 0, vector);
  if (heapSize != static_cast<SIZE_T>(-1)) return std::min<size_t>(wanted, heapSize / sizeof(void*));
  MEMORY_BASIC_INFORMATION region;
  if (VirtualQuery(vector, &region, sizeof region) != sizeof region || region.State != MEM_COMMIT) return 0;
  const auto end = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
  return std::min<size_t>(wanted, (end - reinterpret_cast<uintptr_t>(vector)) / sizeof(void*));
}

}  // namespace

std::unique_ptr<StaticTls> StaticTls::fromDirectory(uint8_t* imageBase, size_t imageSize,
                                                    const IMAGE_TLS_DIRECTORY& directory, bool* malformed) {
  *malformed = false;
  const auto base = reinterpret_cast<uintptr_t>(imageBase);
  const auto inside = [&](uint64_t address, uint64_t length) {
    return address >= base && address - base <= imageSize && length <= imageSize - (address - base);
  };
  const uint64_t start = directory.StartAddressOfRawData;
  const uint64_t end = directory.EndAddressOfRawData;
  const uint64_t index = directory.AddressOfIndex;
  if (start == 0 && end == 0 && index == 0) return nullptr;
  if (end < start || (start != 0 && !inside(start, end - start)) || index == 0 || !inside(index, sizeof(DWORD)) ||
      directory.SizeOfZeroFill > 0x1000000) {
    *malformed = true;
    return nullptr;
  }
  return std::unique_ptr<StaticTls>(new StaticTls(reinterpret_cast<const uint8_t*>(start),
                                                  static_cast<size_t>(end - start), directory.SizeOfZeroFill,
                                                  reinterpret_cast<DWORD*>(index)));
}

StaticTls::~StaticTls() {
  LoaderLock loader;
  std::lock_guard<std::mutex> hold(lock_);
  for (ThreadSlot& slot : threads_) {
    const bool alive = slot.threadId == GetCurrentThreadId() || WaitForSingleObject(slot.thread, 0) == WAIT_TIMEOUT;
    release(slot, alive);
  }
  threads_.clear();
}

void* StaticTls::newBlock() const {
  // At least one byte, so that an image with only an index still gets a distinct block.
  void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, std::max<size_t>(templateSize_ + zeroFill_, 1));
  if (block && templateSize_) std::memcpy(block, templateStart_, templateSize_);
  return block;
}

bool StaticTls::start() {
  index_ = gNextIndex++;
  *indexSlot_ = index_;
  LoaderLock loader;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!addThread(GetCurrentThreadId(), nullptr, threadVectorHome(GetCurrentThread()))) return false;
  }
  // Every other thread of the process may call into the image (COM calls, callbacks).
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  std::lock_guard<std::mutex> hold(lock_);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId()) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ThreadID);
    if (!thread) continue;  // ended since the snapshot
    void** home = WaitForSingleObject(thread, 0) == WAIT_TIMEOUT ? threadVectorHome(thread) : nullptr;
    if (!home || !addThread(entry.th32ThreadID, thread, home)) CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return true;
}

// Called with lock_ held; takes ownership of `thread` on success.
bool StaticTls::addThread(DWORD threadId, HANDLE thread, void** vectorHome) {
  if (!vectorHome) {
    if (thread) CloseHandle(thread);
    return false;
  }
  for (const ThreadSlot& slot : threads_) {
    if (slot.threadId == threadId) {
      if (thread) CloseHandle(thread);
      return true;
    }
  }
  if (!thread) thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  ThreadSlot slot;
  slot.threadId = threadId;
  slot.thread = thread;
  slot.vectorHome = vectorHome;
  slot.block = newBlock();
  if (!slot.block || !install(slot)) {
    if (slot.block) HeapFree(GetProcessHeap(), 0, slot.block);
    if (thread) CloseHandle(thread);
    return false;
  }
  threads_.push_back(slot);
  return true;
}

bool StaticTls::install(ThreadSlot& slot) {
  auto** current = static_cast<void**>(*slot.vectorHome);
  if (current && current == slot.ownVector) {
    slot.ownVector[index_] = slot.block;
    return true;
  }
  // The first time, or the system replaced the vector (freeing ours): take the new one as its own.
  slot.systemVector = current;
  slot.ownVector = nullptr;
  const size_t length = index_ + 1;
  auto** own = static_cast<void**>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length * sizeof(void*)));
  if (!own) return false;
  const size_t copied = readableEntries(current, index_);
  if (copied) std::memcpy(own, current, copied * sizeof(void*));
  own[index_] = slot.block;
  slot.ownVector = own;
  *slot.vectorHome = own;
  return true;
}

void StaticTls::release(ThreadSlot& slot, bool threadAlive) {
  if (threadAlive && *slot.vectorHome == slot.ownVector) {
    *slot.vectorHome = slot.systemVector;
    HeapFree(GetProcessHeap(), 0, slot.ownVector);
  }
  // A thread that ended without a detach (terminated) still points at its vector: it stays.
  HeapFree(GetProcessHeap(), 0, slot.block);
  if (slot.thread) CloseHandle(slot.thread);
}

void StaticTls::addCurrentThread() {
  LoaderLock loader;
  std::lock_guard<std::mutex> hold(lock_);
  addThread(GetCurrentThreadId(), nullptr, threadVectorHome(GetCurrentThread()));
}

void StaticTls::removeCurrentThread() {
  LoaderLock loader;
  std::lock_guard<std::mutex> hold(lock_);
  const DWORD self = GetCurrentThreadId();
  for (auto at = threads_.begin(); at != threads_.end(); ++at) {
    if (at->threadId != self) continue;
    release(*at, true);
    threads_.erase(at);
    return;
  }
}

void StaticTls::refresh() {
  LoaderLock loader;
  std::lock_guard<std::mutex> hold(lock_);
  for (ThreadSlot& slot : threads_) {
    const bool alive = slot.threadId == GetCurrentThreadId() || WaitForSingleObject(slot.thread, 0) == WAIT_TIMEOUT;
    if (alive) install(slot);
  }
}

}  // namespace lumo
