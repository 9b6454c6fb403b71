// The wrapping moniker keeps COM identity: it answers only the interfaces it implements itself
// (forwarding their methods to urlmon's moniker), so no query leads from it to urlmon's object
// and from there back to an IMoniker that is not ours.
#include "host/WrappingMoniker.h"

#include "CallBoundary.h"

#include "host/MovieStreams.h"
#include "ComOwnership.h"

#include <atomic>

namespace lumo {

namespace {

using Microsoft::WRL::ComPtr;

// urlmon's own CreateURLMoniker, taken at run time: only the player's imports are hooked.
decltype(&CreateURLMoniker) systemCreateUrlMoniker() {
  static const auto create = [] {
    HMODULE module = LoadLibraryW(L"urlmon.dll");
    return module ? reinterpret_cast<decltype(&CreateURLMoniker)>(
                        reinterpret_cast<void*>(GetProcAddress(module, "CreateURLMoniker")))
                  : nullptr;
  }();
  return create;
}

// The bind-status callback the player registered in its bind context.
ComPtr<IBindStatusCallback> playerCallback(IBindCtx* context) {
  ComPtr<IUnknown> holder;
  ComPtr<IBindStatusCallback> callback;
  if (context && SUCCEEDED(context->GetObjectParam(const_cast<LPOLESTR>(L"_BSCB_Holder_"), &holder))) {
    holder.As(&callback);
  }
  return callback;
}

class WrappingMoniker final : public IMoniker, public IUriContainer {
 public:
  WrappingMoniker(MovieStreams& streams, ComPtr<IMoniker> inner, std::wstring url)
      : streams_(streams), inner_(std::move(inner)), url_(std::move(url)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    // IAsyncMoniker has no methods: it only tells urlmon that the moniker binds asynchronously,
    // which is true of the system moniker and so of this one.
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IPersistStream || iid == IID_IMoniker ||
        iid == IID_IAsyncMoniker) {
      *object = static_cast<IMoniker*>(this);
    } else if (iid == IID_IUriContainer) {
      ComPtr<IUriContainer> uri;
      if (FAILED(inner_.As(&uri))) return E_NOINTERFACE;
      *object = static_cast<IUriContainer*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  // IUriContainer, offered only when the system moniker has it.
  HRESULT STDMETHODCALLTYPE GetIUri(IUri** uri) override {
    ComPtr<IUriContainer> container;
    if (FAILED(inner_.As(&container))) return E_NOINTERFACE;
    return container->GetIUri(uri);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** object) override {
    return atBoundary("moniker bind", HRESULT{E_OUTOFMEMORY}, [&]() -> HRESULT {
      if (object) *object = nullptr;
      std::wstring systemUrl;
      const HRESULT answer = streams_.resolveBind(url_, playerCallback(context), systemUrl);
      if (answer != S_FALSE) return answer;
      if (systemUrl.empty() || systemUrl == url_) return inner_->BindToStorage(context, left, iid, object);
      // A resource of a memory movie, found beside the movie: bind the file URL instead.
      ComPtr<IMoniker> resolved;
      const auto create = systemCreateUrlMoniker();
      if (!create || FAILED(create(nullptr, systemUrl.c_str(), &resolved))) return E_FAIL;
      return resolved->BindToStorage(context, left, iid, object);
    });
  }

  // Everything else is the system moniker's business: plain forwarding, nothing of ours that
  // could throw, so no boundary is needed.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override { return inner_->GetClassID(id); }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return inner_->IsDirty(); }
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override { return inner_->Load(stream); }
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clear) override { return inner_->Save(stream, clear); }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override { return inner_->GetSizeMax(size); }
  HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* context, IMoniker* left, REFIID iid, void** object) override {
    return inner_->BindToObject(context, left, iid, object);
  }
  HRESULT STDMETHODCALLTYPE Reduce(IBindCtx* context, DWORD howFar, IMoniker** toLeft, IMoniker** reduced) override {
    return inner_->Reduce(context, howFar, toLeft, reduced);
  }
  HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker* right, BOOL onlyIfNotGeneric, IMoniker** composite) override {
    return inner_->ComposeWith(right, onlyIfNotGeneric, composite);
  }
  HRESULT STDMETHODCALLTYPE Enum(BOOL forward, IEnumMoniker** monikers) override {
    return inner_->Enum(forward, monikers);
  }
  HRESULT STDMETHODCALLTYPE IsEqual(IMoniker* other) override { return inner_->IsEqual(other); }
  HRESULT STDMETHODCALLTYPE Hash(DWORD* hash) override { return inner_->Hash(hash); }
  HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx* context, IMoniker* left, IMoniker* newlyRunning) override {
    return inner_->IsRunning(context, left, newlyRunning);
  }
  HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx* context, IMoniker* left, FILETIME* time) override {
    return inner_->GetTimeOfLastChange(context, left, time);
  }
  HRESULT STDMETHODCALLTYPE Inverse(IMoniker** inverse) override { return inner_->Inverse(inverse); }
  HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker* other, IMoniker** prefix) override {
    return inner_->CommonPrefixWith(other, prefix);
  }
  HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker* other, IMoniker** path) override {
    return inner_->RelativePathTo(other, path);
  }
  HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx* context, IMoniker* left, LPOLESTR* name) override {
    return inner_->GetDisplayName(context, left, name);
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, IMoniker* left, LPOLESTR name, ULONG* eaten,
                                             IMoniker** out) override {
    return inner_->ParseDisplayName(context, left, name, eaten, out);
  }
  HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD* kind) override { return inner_->IsSystemMoniker(kind); }

 private:
  std::atomic<ULONG> references_{1};
  MovieStreams& streams_;
  ComPtr<IMoniker> inner_;
  std::wstring url_;
};

}  // namespace

ComPtr<IMoniker> wrapUrlMoniker(MovieStreams& streams, ComPtr<IMoniker> inner, std::wstring url) {
  return adoptReference<IMoniker>(new WrappingMoniker(streams, std::move(inner), std::move(url)));
}

}  // namespace lumo
