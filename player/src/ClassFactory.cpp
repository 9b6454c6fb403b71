// The class factory: makes player objects and keeps the DLL loaded while locked.
#include "ClassFactory.h"

#include <new>

#include "FlashPlayer.h"
#include "Module.h"
#include "PlayerBoundary.h"

ClassFactory::ClassFactory() { module::addObject(); }
ClassFactory::~ClassFactory() { module::removeObject(); }

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  // The player's members allocate as it is made: a failure there is an answer, not an unwind.
  return guardedCall("player CreateInstance", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
    FlashPlayer* player = new FlashPlayer();
    HRESULT hr = player->QueryInterface(riid, out);
    player->Release();
    return hr;
  });
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  module::lock(lock != FALSE);
  return S_OK;
}
