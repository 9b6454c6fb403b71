// The container answers the player gets from its control, reached the way the player reaches
// them: from the client site it was given, through QueryInterface.
#include <windows.h>
#include <oleauto.h>
#include <docobj.h>
#include <servprov.h>

#include <functional>

#include "ControlFixture.h"

namespace hostcontrol_test {
namespace {

using lumo::PlayerControl;

// The control's client site as the player holds it.
ComPtr<IOleClientSite> clientSiteOf(HWND control) {
  lumo::QueryInterfaceRecord query{IID_IOleObject, nullptr, E_FAIL};
  send(control, lumo::msg::kQueryInterface, query);
  ComPtr<IOleObject> object;
  object.Attach(static_cast<IOleObject*>(query.object));
  ComPtr<IOleClientSite> site;
  if (object) object->GetClientSite(&site);
  return site;
}

ComPtr<IUnknown> identity(IUnknown* object) {
  ComPtr<IUnknown> unknown;
  if (object) object->QueryInterface(IID_IUnknown, &unknown);
  return unknown;
}

std::wstring rectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
         std::to_wstring(r.bottom);
}

class HostControlSiteTest : public HostControlTest {
 protected:
  void SetUp() override {
    HostControlTest::SetUp();
    parent_ = createParent();
    control_ = createControl(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, parent_);
    site_ = clientSiteOf(control_);
    ASSERT_NE(site_, nullptr);
  }
  void TearDown() override {
    site_.Reset();  // the control object goes with its window, whatever its count
    HostControlTest::TearDown();
  }
  template <typename T>
  ComPtr<T> face() {
    ComPtr<T> out;
    site_.As(&out);
    return out;
  }

  HWND parent_ = nullptr;
  HWND control_ = nullptr;
  ComPtr<IOleClientSite> site_;
};

struct FaceCase {
  const char* name;
  const IID* iid;
  const IID* sameAs;  // answered by the same interface pointer as this one; null: refused
};

TEST_F(HostControlSiteTest, QueryInterfaceAnswersTheContainerInterfacesAndRefusesTheRest) {
  const FaceCase cases[] = {
      {"IUnknown", &IID_IUnknown, &IID_IOleClientSite},
      {"IOleClientSite", &IID_IOleClientSite, &IID_IOleClientSite},
      {"IOleWindow", &IID_IOleWindow, &IID_IOleInPlaceSiteWindowless},
      {"IOleInPlaceSite", &IID_IOleInPlaceSite, &IID_IOleInPlaceSiteWindowless},
      {"IOleInPlaceSiteEx", &IID_IOleInPlaceSiteEx, &IID_IOleInPlaceSiteWindowless},
      {"IOleInPlaceSiteWindowless", &IID_IOleInPlaceSiteWindowless, &IID_IOleInPlaceSiteWindowless},
      {"IOleControlSite", &IID_IOleControlSite, &IID_IOleControlSite},
      {"IOleContainer", &IID_IOleContainer, &IID_IOleContainer},
      {"IOleInPlaceFrame", &IID_IOleInPlaceFrame, &IID_IOleInPlaceFrame},
      {"IObjectWithSite", &IID_IObjectWithSite, &IID_IObjectWithSite},
      {"IDispatch", &IID_IDispatch, &IID_IDispatch},
      {"_IShockwaveFlashEvents", &flash::DIID_IShockwaveFlashEvents, &IID_IDispatch},
      {"IServiceProvider", &IID_IServiceProvider, nullptr},
      {"IOleInPlaceUIWindow", &IID_IOleInPlaceUIWindow, nullptr},
      {"IOleCommandTarget", &IID_IOleCommandTarget, nullptr},
      {"IShockwaveFlash", &flash::IID_IShockwaveFlash, nullptr},
  };
  for (const FaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    void* answer = reinterpret_cast<void*>(1);
    HRESULT hr = site_->QueryInterface(*c.iid, &answer);
    if (!c.sameAs) {
      EXPECT_EQ(hr, E_NOINTERFACE);
      EXPECT_EQ(answer, nullptr);
      continue;
    }
    ASSERT_EQ(hr, S_OK);
    void* reference = nullptr;
    ASSERT_EQ(site_->QueryInterface(*c.sameAs, &reference), S_OK);
    EXPECT_EQ(answer, reference);
    static_cast<IUnknown*>(answer)->Release();
    static_cast<IUnknown*>(reference)->Release();
  }
  // Distinct faces are distinct pointers of one object.
  EXPECT_NE(static_cast<void*>(face<IOleContainer>().Get()), static_cast<void*>(face<IOleInPlaceFrame>().Get()));
  EXPECT_EQ(identity(face<IOleInPlaceFrame>().Get()), identity(site_.Get()));
}

struct AnswerCase {
  const char* name;
  std::function<HRESULT()> call;
  HRESULT expected;
};

TEST_F(HostControlSiteTest, MethodsGiveTheirFixedAnswers) {
  auto client = site_;
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  auto control = face<IOleControlSite>();
  auto container = face<IOleContainer>();
  auto frame = face<IOleInPlaceFrame>();
  ComPtr<IMoniker> moniker;
  RECT rect{0, 0, 10, 10};
  BORDERWIDTHS border{};
  MSG message{};
  POINTL himetric{};
  POINTF container2{};
  LRESULT result = -1;
  ULONG eaten = 0;
  const AnswerCase cases[] = {
      {"SaveObject", [&] { return client->SaveObject(); }, E_NOTIMPL},
      {"GetMoniker", [&] { return client->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJREL, &moniker); }, E_NOTIMPL},
      {"OnShowWindow", [&] { return client->OnShowWindow(TRUE); }, E_NOTIMPL},
      {"RequestNewObjectLayout", [&] { return client->RequestNewObjectLayout(); }, E_NOTIMPL},
      {"ShowObject", [&] { return client->ShowObject(); }, S_OK},
      {"ContextSensitiveHelp", [&] { return inPlace->ContextSensitiveHelp(TRUE); }, E_NOTIMPL},
      {"Scroll", [&] { return inPlace->Scroll(SIZE{1, 1}); }, E_NOTIMPL},
      {"DiscardUndoState", [&] { return inPlace->DiscardUndoState(); }, E_NOTIMPL},
      {"DeactivateAndUndo", [&] { return inPlace->DeactivateAndUndo(); }, E_NOTIMPL},
      {"OnPosRectChange", [&] { return inPlace->OnPosRectChange(&rect); }, E_NOTIMPL},
      {"CanInPlaceActivate", [&] { return inPlace->CanInPlaceActivate(); }, S_OK},
      {"RequestUIActivate", [&] { return inPlace->RequestUIActivate(); }, S_OK},
      {"CanWindowlessActivate", [&] { return inPlace->CanWindowlessActivate(); }, S_OK},
      {"ScrollRect", [&] { return inPlace->ScrollRect(1, 1, &rect, &rect); }, S_OK},
      {"AdjustRect", [&] { return inPlace->AdjustRect(&rect); }, S_OK},
      {"OnDefWindowMessage", [&] { return inPlace->OnDefWindowMessage(WM_GETTEXTLENGTH, 0, 0, &result); }, S_OK},
      {"OnControlInfoChanged", [&] { return control->OnControlInfoChanged(); }, S_OK},
      {"LockInPlaceActive", [&] { return control->LockInPlaceActive(TRUE); }, S_OK},
      {"TransformCoords", [&] { return control->TransformCoords(&himetric, &container2, XFORMCOORDS_POSITION); }, E_NOTIMPL},
      {"ShowPropertyFrame", [&] { return control->ShowPropertyFrame(); }, E_NOTIMPL},
      {"control TranslateAccelerator", [&] { return control->TranslateAccelerator(&message, 0); }, S_FALSE},
      {"GetExtendedControl(null)", [&] { return control->GetExtendedControl(nullptr); }, E_POINTER},
      {"ParseDisplayName", [&] { return container->ParseDisplayName(nullptr, nullptr, &eaten, &moniker); }, E_NOTIMPL},
      {"EnumObjects(null)", [&] { return container->EnumObjects(OLECONTF_EMBEDDINGS, nullptr); }, E_POINTER},
      {"LockContainer", [&] { return container->LockContainer(TRUE); }, S_OK},
      {"GetBorder", [&] { return frame->GetBorder(&rect); }, INPLACE_E_NOTOOLSPACE},
      {"RequestBorderSpace", [&] { return frame->RequestBorderSpace(&border); }, INPLACE_E_NOTOOLSPACE},
      {"SetBorderSpace", [&] { return frame->SetBorderSpace(&border); }, E_NOTIMPL},
      {"SetActiveObject", [&] { return frame->SetActiveObject(nullptr, nullptr); }, S_OK},
      {"InsertMenus", [&] { return frame->InsertMenus(nullptr, nullptr); }, S_OK},
      {"SetMenu", [&] { return frame->SetMenu(nullptr, nullptr, nullptr); }, S_OK},
      {"RemoveMenus", [&] { return frame->RemoveMenus(nullptr); }, S_OK},
      {"SetStatusText", [&] { return frame->SetStatusText(L"status"); }, S_OK},
      {"EnableModeless", [&] { return frame->EnableModeless(TRUE); }, S_OK},
      {"frame TranslateAccelerator", [&] { return frame->TranslateAccelerator(&message, 0); }, S_FALSE},
  };
  for (const AnswerCase& c : cases) EXPECT_EQ(c.call(), c.expected) << c.name;
  EXPECT_EQ(result, 0);  // the default procedure's answer came back
}

TEST_F(HostControlSiteTest, WindowsAndContainerPointAtTheControlAndItsPlayer) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  auto frame = face<IOleInPlaceFrame>();
  HWND window = nullptr;
  EXPECT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_EQ(window, control_);
  window = nullptr;
  EXPECT_EQ(frame->GetWindow(&window), S_OK);
  EXPECT_EQ(window, control_);

  ComPtr<IOleContainer> container;
  EXPECT_EQ(site_->GetContainer(&container), S_OK);
  EXPECT_EQ(container.Get(), face<IOleContainer>().Get());

  lumo::QueryInterfaceRecord query{IID_IUnknown, nullptr, E_FAIL};
  send(control_, lumo::msg::kQueryInterface, query);
  ComPtr<IUnknown> player;
  player.Attach(static_cast<IUnknown*>(query.object));

  ComPtr<IEnumUnknown> objects;
  ASSERT_EQ(container->EnumObjects(OLECONTF_EMBEDDINGS, &objects), S_OK);
  IUnknown* items[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(objects->Next(2, items, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(identity(items[0]), player);
  items[0]->Release();
  EXPECT_EQ(objects->Next(1, items, nullptr), S_FALSE);

  ComPtr<IDispatch> extended;
  EXPECT_EQ(face<IOleControlSite>()->GetExtendedControl(&extended), S_OK);
  EXPECT_EQ(identity(extended.Get()), player);
}

TEST_F(HostControlSiteTest, GetWindowContextChecksItsOutsAndMakesTheAcceleratorTableOnce) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
  IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
  RECT clip{};
  OLEINPLACEFRAMEINFO info{};
  EXPECT_EQ(inPlace->GetWindowContext(&frame, &document, nullptr, &clip, &info), E_POINTER);
  EXPECT_EQ(frame, nullptr);
  EXPECT_EQ(document, nullptr);

  RECT position{};
  ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
  EXPECT_EQ(static_cast<void*>(frame), static_cast<void*>(face<IOleInPlaceFrame>().Get()));
  EXPECT_EQ(document, nullptr);
  RECT client;
  GetClientRect(control_, &client);
  EXPECT_TRUE(EqualRect(&position, &client));
  EXPECT_TRUE(EqualRect(&clip, &client));
  EXPECT_EQ(info.fMDIApp, FALSE);
  EXPECT_EQ(info.hwndFrame, parent_);
  EXPECT_NE(info.haccel, nullptr);
  EXPECT_EQ(info.cAccelEntries, 1u);
  frame->Release();

  OLEINPLACEFRAMEINFO again{};
  ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &position, &clip, &again), S_OK);
  EXPECT_EQ(again.haccel, info.haccel);
  frame->Release();
}

TEST_F(HostControlSiteTest, ASiteThePlayerStillHoldsOutlivesItsWindowDetached) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  auto sink = face<IDispatch>();
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  ASSERT_EQ(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
  frame->Release();
  ASSERT_EQ(CopyAcceleratorTableW(info.haccel, nullptr, 0), 1);

  DestroyWindow(control_);
  // Still there for the references the player holds, but without a window.
  EXPECT_EQ(CopyAcceleratorTableW(info.haccel, nullptr, 0), 1);
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
  EXPECT_EQ(window, nullptr);
  HDC dc = reinterpret_cast<HDC>(1);
  EXPECT_EQ(inPlace->GetDC(nullptr, 0, &dc), E_FAIL);
  seen().clear();
  VARIANT state;
  state.vt = VT_I4;
  state.lVal = 4;
  DISPPARAMS params{&state, nullptr, 1, 0};
  EXPECT_EQ(sink->Invoke(flash::kDispOnReadyStateChange, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                         nullptr),
            S_OK);
  EXPECT_TRUE(seen().empty()) << "a detached site tells nobody";

  sink.Reset();
  inPlace.Reset();
  site_.Reset();
  EXPECT_EQ(CopyAcceleratorTableW(info.haccel, nullptr, 0), 0) << "gone with the last reference";
}

TEST_F(HostControlSiteTest, FocusCaptureAndObjectSiteAreRecorded) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  auto control = face<IOleControlSite>();
  EXPECT_EQ(inPlace->SetFocus(TRUE), S_OK);
  EXPECT_EQ(inPlace->GetFocus(), S_OK);
  EXPECT_EQ(control->OnFocus(FALSE), S_OK);
  EXPECT_EQ(inPlace->GetFocus(), S_FALSE);
  EXPECT_EQ(inPlace->GetCapture(), S_FALSE);
  EXPECT_EQ(inPlace->SetCapture(TRUE), S_OK);
  EXPECT_EQ(inPlace->GetCapture(), S_OK);
  EXPECT_EQ(GetCapture(), control_);
  EXPECT_EQ(inPlace->SetCapture(FALSE), S_OK);
  EXPECT_EQ(inPlace->GetCapture(), S_FALSE);
  EXPECT_NE(GetCapture(), control_);

  auto withSite = face<IObjectWithSite>();
  ComPtr<IUnknown> given = identity(face<IOleContainer>().Get());
  EXPECT_EQ(withSite->SetSite(face<IOleContainer>().Get()), S_OK);
  ComPtr<IOleInPlaceFrame> viaSite;
  EXPECT_EQ(withSite->GetSite(IID_IOleInPlaceFrame, &viaSite), S_OK);
  EXPECT_EQ(viaSite.Get(), face<IOleInPlaceFrame>().Get());
  EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
  EXPECT_TRUE(FAILED(withSite->GetSite(IID_IUnknown, &given)));
}

TEST_F(HostControlSiteTest, PlayerInvalidationsReachTheOwnerWithTheirRectangle) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  seen().clear();
  RECT part{5, 6, 70, 80};
  EXPECT_EQ(inPlace->InvalidateRect(&part, FALSE), S_OK);
  EXPECT_EQ(inPlace->InvalidateRect(nullptr, FALSE), S_OK);
  HRGN region = CreateRectRgn(10, 20, 30, 40);
  EXPECT_EQ(inPlace->InvalidateRgn(region, FALSE), S_OK);
  DeleteObject(region);
  ASSERT_EQ(seen().size(), 3u);
  RECT client;
  GetClientRect(control_, &client);
  const RECT expected[] = {part, client, {10, 20, 30, 40}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(seen()[i].code, lumo::notify::kInvalidate);
    EXPECT_EQ(seen()[i].text, rectText(expected[i])) << i;
  }
}

TEST_F(HostControlSiteTest, InPlaceActivationStatesFollowThePlayersCalls) {
  PlayerControl* object = PlayerControl::fromWindow(control_);
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  EXPECT_TRUE(object->inPlaceActive());
  EXPECT_FALSE(object->windowless());
  EXPECT_EQ(inPlace->OnInPlaceDeactivate(), S_OK);
  EXPECT_FALSE(object->inPlaceActive());
  BOOL noRedraw = FALSE;
  EXPECT_EQ(inPlace->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS), S_OK);
  EXPECT_TRUE(object->inPlaceActive());
  EXPECT_TRUE(object->windowless());
  EXPECT_EQ(inPlace->OnInPlaceDeactivateEx(TRUE), S_OK);
  EXPECT_EQ(inPlace->OnInPlaceActivate(), S_OK);
  EXPECT_TRUE(object->inPlaceActive());
  EXPECT_FALSE(object->windowless());
}

// A windowless player's DC: one at a time, given back only as itself; an off-screen one is a
// memory DC that goes with its bitmap when given back, or with the site if it never is.
TEST_F(HostControlSiteTest, HandedOutDcsAreOneAtATimeAndNothingOfThemOutlivesTheSite) {
  auto inPlace = face<IOleInPlaceSiteWindowless>();
  HDC window = nullptr;
  ASSERT_EQ(inPlace->GetDC(nullptr, 0, &window), S_OK);
  ASSERT_NE(window, nullptr);
  HDC second = reinterpret_cast<HDC>(1);
  EXPECT_EQ(inPlace->GetDC(nullptr, 0, &second), E_FAIL);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(inPlace->ReleaseDC(reinterpret_cast<HDC>(2)), E_INVALIDARG);
  EXPECT_EQ(inPlace->ReleaseDC(window), S_OK);
  EXPECT_EQ(inPlace->ReleaseDC(window), E_INVALIDARG);

  HDC offscreen = nullptr;
  ASSERT_EQ(inPlace->GetDC(nullptr, OLEDC_OFFSCREEN, &offscreen), S_OK);
  EXPECT_EQ(GetObjectType(offscreen), static_cast<DWORD>(OBJ_MEMDC));
  HGDIOBJ bitmap = GetCurrentObject(offscreen, OBJ_BITMAP);
  EXPECT_EQ(inPlace->ReleaseDC(offscreen), S_OK);
  EXPECT_EQ(GetObjectType(offscreen), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);

  // Kept by a player that never gives it back: released with the control.
  ASSERT_EQ(inPlace->GetDC(nullptr, OLEDC_OFFSCREEN, &offscreen), S_OK);
  bitmap = GetCurrentObject(offscreen, OBJ_BITMAP);
  inPlace.Reset();
  site_.Reset();
  DestroyWindow(control_);
  EXPECT_EQ(GetObjectType(offscreen), 0u);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
}

}  // namespace
}  // namespace hostcontrol_test
