// The class factory of the player object (no aggregation).
#pragma once

#include <unknwn.h>

#include <atomic>

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~ClassFactory();
  std::atomic<ULONG> refs_{1};
};
