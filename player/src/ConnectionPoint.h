// The connection point of the player's outgoing events: any number of sinks, each reached
// through IDispatch::Invoke with the event's DISPID.
#pragma once

#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <vector>

class EventConnectionPoint final : public IConnectionPoint {
 public:
  // Lives inside the player object and shares its reference count.
  EventConnectionPoint(IConnectionPointContainer* owner, REFIID events) : owner_(owner), events_(events) {}

  // Calls every sink advised at the time of the call; `args` in DISPPARAMS order (last first).
  void fire(DISPID id, VARIANT* args, UINT count);
  void clear() { sinks_.clear(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  struct Sink {
    DWORD cookie;
    Microsoft::WRL::ComPtr<IDispatch> dispatch;
  };
  IConnectionPointContainer* owner_;
  IID events_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};
