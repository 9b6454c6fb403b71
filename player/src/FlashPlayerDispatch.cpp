// IDispatch of the player: a table of members (name, DISPID, vtable slots, argument types),
// invoked through the same vtable that early-bound callers use.
#include "FlashPlayer.h"
#include "PlayerBoundary.h"

#include <cwchar>

namespace {

// A property has a get slot and/or a put slot of one type; a method has a call slot, its
// argument types and, when its last parameter is an out value, that value's type.
struct Member {
  const wchar_t* name;
  DISPID id;
  short getSlot;  // -1: none (a method)
  short callSlot; // put slot of a property, slot of a method; -1: none
  VARTYPE type;   // property type, or the method's out type (VT_EMPTY: none)
  VARTYPE in[3];
  short inCount;
};

constexpr Member kMembers[] = {
    {L"ReadyState", -525 /* DISPID_READYSTATE */, 7, -1, VT_I4, {}, 0},
    {L"TotalFrames", 124, 8, -1, VT_I4, {}, 0},
    {L"Playing", 125, 9, 10, VT_BOOL, {}, 0},
    {L"Quality", 105, 11, 12, VT_INT, {}, 0},
    {L"ScaleMode", 120, 13, 14, VT_INT, {}, 0},
    {L"AlignMode", 121, 15, 16, VT_INT, {}, 0},
    {L"BackgroundColor", 123, 17, 18, VT_I4, {}, 0},
    {L"Loop", 106, 19, 20, VT_BOOL, {}, 0},
    {L"Movie", 102, 21, 22, VT_BSTR, {}, 0},
    {L"FrameNum", 107, 23, 24, VT_I4, {}, 0},
    {L"SetZoomRect", 109, -1, 25, VT_EMPTY, {VT_I4, VT_I4, VT_I4}, 3},  // 4th argument below
    {L"Zoom", 118, -1, 26, VT_EMPTY, {VT_INT}, 1},
    {L"Pan", 119, -1, 27, VT_EMPTY, {VT_I4, VT_I4, VT_INT}, 3},
    {L"Play", 112, -1, 28, VT_EMPTY, {}, 0},
    {L"Stop", 113, -1, 29, VT_EMPTY, {}, 0},
    {L"Back", 114, -1, 30, VT_EMPTY, {}, 0},
    {L"Forward", 115, -1, 31, VT_EMPTY, {}, 0},
    {L"Rewind", 116, -1, 32, VT_EMPTY, {}, 0},
    {L"StopPlay", 126, -1, 33, VT_EMPTY, {}, 0},
    {L"GotoFrame", 127, -1, 34, VT_EMPTY, {VT_I4}, 1},
    {L"CurrentFrame", 128, -1, 35, VT_I4, {}, 0},
    {L"IsPlaying", 129, -1, 36, VT_BOOL, {}, 0},
    {L"PercentLoaded", 130, -1, 37, VT_I4, {}, 0},
    {L"FrameLoaded", 131, -1, 38, VT_BOOL, {VT_I4}, 1},
    {L"FlashVersion", 132, -1, 39, VT_I4, {}, 0},
    {L"WMode", 133, 40, 41, VT_BSTR, {}, 0},
    {L"SAlign", 134, 42, 43, VT_BSTR, {}, 0},
    {L"Menu", 135, 44, 45, VT_BOOL, {}, 0},
    {L"Base", 136, 46, 47, VT_BSTR, {}, 0},
    {L"Scale", 137, 48, 49, VT_BSTR, {}, 0},
    {L"DeviceFont", 138, 50, 51, VT_BOOL, {}, 0},
    {L"EmbedMovie", 139, 52, 53, VT_BOOL, {}, 0},
    {L"BGColor", 140, 54, 55, VT_BSTR, {}, 0},
    {L"Quality2", 141, 56, 57, VT_BSTR, {}, 0},
    {L"LoadMovie", 142, -1, 58, VT_EMPTY, {VT_INT, VT_BSTR}, 2},
    {L"TGotoFrame", 143, -1, 59, VT_EMPTY, {VT_BSTR, VT_I4}, 2},
    {L"TGotoLabel", 144, -1, 60, VT_EMPTY, {VT_BSTR, VT_BSTR}, 2},
    {L"TCurrentFrame", 145, -1, 61, VT_I4, {VT_BSTR}, 1},
    {L"TCurrentLabel", 146, -1, 62, VT_BSTR, {VT_BSTR}, 1},
    {L"TPlay", 147, -1, 63, VT_EMPTY, {VT_BSTR}, 1},
    {L"TStopPlay", 148, -1, 64, VT_EMPTY, {VT_BSTR}, 1},
    {L"SetVariable", 151, -1, 65, VT_EMPTY, {VT_BSTR, VT_BSTR}, 2},
    {L"GetVariable", 152, -1, 66, VT_BSTR, {VT_BSTR}, 1},
    {L"TSetProperty", 153, -1, 67, VT_EMPTY, {VT_BSTR, VT_INT, VT_BSTR}, 3},
    {L"TGetProperty", 154, -1, 68, VT_BSTR, {VT_BSTR, VT_INT}, 2},
    {L"TCallFrame", 155, -1, 69, VT_EMPTY, {VT_BSTR, VT_INT}, 2},
    {L"TCallLabel", 156, -1, 70, VT_EMPTY, {VT_BSTR, VT_BSTR}, 2},
    {L"TSetPropertyNum", 157, -1, 71, VT_EMPTY, {VT_BSTR, VT_INT, VT_R8}, 3},
    {L"TGetPropertyNum", 158, -1, 72, VT_R8, {VT_BSTR, VT_INT}, 2},
    {L"TGetPropertyAsNumber", 172, -1, 73, VT_R8, {VT_BSTR, VT_INT}, 2},
    {L"SWRemote", 159, 74, 75, VT_BSTR, {}, 0},
    {L"FlashVars", 170, 76, 77, VT_BSTR, {}, 0},
    {L"AllowScriptAccess", 171, 78, 79, VT_BSTR, {}, 0},
    {L"MovieData", 190, 80, 81, VT_BSTR, {}, 0},
    {L"InlineData", 191, 82, 83, VT_UNKNOWN, {}, 0},
    {L"SeamlessTabbing", 192, 84, 85, VT_BOOL, {}, 0},
    {L"EnforceLocalSecurity", 193, -1, 86, VT_EMPTY, {}, 0},
    {L"Profile", 194, 87, 88, VT_BOOL, {}, 0},
    {L"ProfileAddress", 195, 89, 90, VT_BSTR, {}, 0},
    {L"ProfilePort", 196, 91, 92, VT_I4, {}, 0},
    {L"CallFunction", 198, -1, 93, VT_BSTR, {VT_BSTR}, 1},
    {L"SetReturnValue", 199, -1, 94, VT_EMPTY, {VT_BSTR}, 1},
    {L"DisableLocalSecurity", 200, -1, 95, VT_EMPTY, {}, 0},
    {L"AllowNetworking", 201, 96, 97, VT_BSTR, {}, 0},
    {L"AllowFullScreen", 202, 98, 99, VT_BSTR, {}, 0},
};

const Member* findMember(DISPID id) {
  for (const Member& m : kMembers)
    if (m.id == id) return &m;
  return nullptr;
}

// Calls vtable slot `slot` with the given arguments (plus, when outType is set, a pointer to
// the out value in `out`) and answers the member's HRESULT.
HRESULT callSlot(IShockwaveFlash* object, short slot, std::vector<VARIANT>& args, VARTYPE outType, VARIANT* out) {
  std::vector<VARTYPE> types;
  std::vector<VARIANTARG*> pointers;
  for (VARIANT& a : args) {
    types.push_back(a.vt);
    pointers.push_back(&a);
  }
  VARIANT outRef;
  VariantInit(&outRef);
  if (outType != VT_EMPTY) {
    VariantInit(out);
    out->vt = outType;
    outRef.vt = VT_BYREF | outType;
    outRef.byref = &out->lVal;  // every value type starts at the same place in the union
    types.push_back(outRef.vt);
    pointers.push_back(&outRef);
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = DispCallFunc(object, static_cast<ULONG_PTR>(slot) * sizeof(void*), CC_STDCALL, VT_ERROR,
                            static_cast<UINT>(types.size()), types.data(), pointers.data(), &result);
  if (FAILED(hr)) return hr;
  return result.scode;
}

}  // namespace

HRESULT STDMETHODCALLTYPE FlashPlayer::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FlashPlayer::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE FlashPlayer::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (i > 0) {  // named parameters are not supported
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    for (const Member& m : kMembers)
      if (names[i] && _wcsicmp(m.name, names[i]) == 0) ids[i] = m.id;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE FlashPlayer::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                              VARIANT* result, EXCEPINFO*, UINT* argError) {
  return guardedCall("player Invoke", HRESULT{E_FAIL}, [&]() -> HRESULT {
    const Member* m = findMember(id);
    if (!m) return DISP_E_MEMBERNOTFOUND;
    UINT given = params ? params->cArgs : 0;
    auto arg = [&](UINT i) -> VARIANT& { return params->rgvarg[given - 1 - i]; };  // reverse order
    IShockwaveFlash* self = this;
    VARIANT out;
    VariantInit(&out);
    HRESULT hr;
    bool isProperty = m->getSlot >= 0;
    if ((flags & DISPATCH_PROPERTYGET) && m->getSlot >= 0 && given == 0) {
      std::vector<VARIANT> none;
      hr = callSlot(self, m->getSlot, none, m->type, &out);
    } else if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && isProperty && m->callSlot >= 0) {
      if (given != 1) return DISP_E_BADPARAMCOUNT;
      std::vector<VARIANT> args(1);
      VariantInit(&args[0]);
      if (FAILED(VariantChangeType(&args[0], &params->rgvarg[0], 0, m->type == VT_INT ? VARTYPE(VT_I4) : m->type))) {
        if (argError) *argError = 0;
        return DISP_E_TYPEMISMATCH;
      }
      if (m->type == VT_INT) args[0].vt = VT_INT;
      hr = callSlot(self, m->callSlot, args, VT_EMPTY, nullptr);
      VariantClear(&args[0]);
      return hr;
    } else if ((flags & DISPATCH_METHOD) && !isProperty) {
      // SetZoomRect takes four longs; the table keeps three slots of types.
      UINT want = m->callSlot == 25 ? 4 : static_cast<UINT>(m->inCount);
      if (given != want) return DISP_E_BADPARAMCOUNT;
      std::vector<VARIANT> args(want);
      for (UINT i = 0; i < want; ++i) {
        VARTYPE type = m->callSlot == 25 ? VARTYPE(VT_I4) : m->in[i];
        VariantInit(&args[i]);
        if (FAILED(VariantChangeType(&args[i], &arg(i), 0, type == VT_INT ? VARTYPE(VT_I4) : type))) {
          for (VARIANT& a : args) VariantClear(&a);
          if (argError) *argError = given - 1 - i;
          return DISP_E_TYPEMISMATCH;
        }
        if (type == VT_INT) args[i].vt = VT_INT;
      }
      hr = callSlot(self, m->callSlot, args, m->type, &out);
      for (VARIANT& a : args) VariantClear(&a);
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (SUCCEEDED(hr) && result) {
      if (out.vt == VT_INT) out.vt = VT_I4;
      *result = out;
    } else {
      VariantClear(&out);
    }
    return hr;
  });
}
