// Advise, unadvise and firing of the player's events.
#include "ConnectionPoint.h"

#include <olectl.h>

#include "PlayerBoundary.h"

void EventConnectionPoint::fire(DISPID id, VARIANT* args, UINT count) {
  // A sink may unadvise (or the container may release us) from inside its Invoke: work on a
  // copy that holds its own references.
  std::vector<Sink> sinks = sinks_;
  for (Sink& s : sinks) {
    DISPPARAMS params{args, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    s.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    VariantClear(&result);
  }
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = events_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = owner_;
  owner_->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf()))))
    return CONNECT_E_CANNOTCONNECT;
  return guardedCall("player Advise", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
    sinks_.push_back({nextCookie_, dispatch});
    *cookie = nextCookie_++;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}
