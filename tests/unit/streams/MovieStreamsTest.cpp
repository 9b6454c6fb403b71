// Movies and resources served from memory: memory paths, the stream registry, resource
// handlers, the control's external-resource answer and Base folder, and the wrapping moniker.
#include "host/MemoryMoviePath.h"
#include "host/MovieStreams.h"
#include "host/PlayerMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace lumo {
namespace {

using Microsoft::WRL::ComPtr;

// A bind-status callback that records what the player would be told.
class RecordingCallback final : public IBindStatusCallback {
 public:
  std::vector<std::string> calls;
  std::string data;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
      *object = static_cast<IBindStatusCallback*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the test's stack
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return note("start"); }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override {
    return note(result == S_OK ? "stop" : "stop-failed");
  }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override {
    *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
    info->cbSize = sizeof(BINDINFO);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD size, FORMATETC* format, STGMEDIUM* medium) override {
    if (format->tymed == TYMED_ISTREAM && medium->pstm) {
      std::string bytes(size, '\0');
      ULONG read = 0;
      medium->pstm->Read(bytes.data(), size, &read);
      data += bytes.substr(0, read);
    }
    return note("data");
  }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  HRESULT note(const char* call) {
    calls.push_back(call);
    return S_OK;
  }
  std::atomic<ULONG> references_{1};
};

const std::vector<std::string> kDelivered = {"start", "data", "stop"};

void writeText(IStream* stream, const std::string& text) {
  stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
}

TEST(MemoryMoviePath, MakesAndParsesPaths) {
  EXPECT_EQ(memoryMoviePath(100),
            L"Z:\\FromMemory\\D7BAED74924D435D84DB8A1E89E7AE3A\\100\\4BC37A1F293B47169DBC8019C50075F5.swf");
  struct Case {
    const wchar_t* text;
    int id;
    const wchar_t* name;  // nullptr: not a memory path
  } cases[] = {
      {L"Z:\\FromMemory\\D7BAED74924D435D84DB8A1E89E7AE3A\\101\\4BC37A1F293B47169DBC8019C50075F5.swf", 101,
       L"4BC37A1F293B47169DBC8019C50075F5.swf"},
      {L"file:///Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/102/images/a.jpg", 102, L"images/a.jpg"},
      {L"Z:\\FromMemory\\D7BAED74924D435D84DB8A1E89E7AE3A\\103\\sub\\b.png", 103, L"sub/b.png"},
      {L"http://example.org/movie.swf", 0, nullptr},
      {L"Z:/x/D7BAED74924D435D84DB8A1E89E7AE3A/abc/a.jpg", 0, nullptr},
      {L"Z:/x/D7BAED74924D435D84DB8A1E89E7AE3A/104", 0, nullptr},
      // Digits of other scripts are not id digits (the C library's iswdigit says they are).
      {L"Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/\u0BE7/a.jpg", 0, nullptr},
      {L"Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/1\uFF11/a.jpg", 0, nullptr},
      {L"Z:/FromMemory/D7BAED74924D435D84DB8A1E89E7AE3A/1234567890/a.jpg", 0, nullptr},
  };
  for (const Case& c : cases) {
    const auto parsed = parseMemoryMoviePath(c.text);
    ASSERT_EQ(parsed.has_value(), c.name != nullptr) << c.text;
    if (parsed) {
      EXPECT_EQ(parsed->movieId, c.id);
      EXPECT_EQ(parsed->name, c.name);
    }
  }
}

TEST(MovieStreams, AMovieFromMemoryReachesItsFirstBindOnceItsDataIsComplete) {
  MovieStreams streams;
  auto first = streams.startMovie(nullptr);
  auto second = streams.startMovie(nullptr);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->path, second->path);
  EXPECT_NE(first->path.find(L"\\100\\"), std::wstring::npos);
  EXPECT_NE(second->path.find(L"\\101\\"), std::wstring::npos);

  std::wstring systemUrl;
  RecordingCallback reset;
  EXPECT_EQ(streams.resolveBind(kResetUrl, &reset, systemUrl), MK_E_NOSTORAGE);

  RecordingCallback player;
  EXPECT_EQ(streams.resolveBind(first->path, &player, systemUrl), MK_S_ASYNCHRONOUS);
  EXPECT_TRUE(player.calls.empty()) << "nothing before the data is complete";
  writeText(first->writer.Get(), "FWS movie ");
  writeText(first->writer.Get(), "bytes");
  first->writer.Reset();  // the last release of the writer completes the data
  EXPECT_EQ(player.calls, kDelivered);
  EXPECT_EQ(player.data, "FWS movie bytes");

  // The entry was consumed: a second bind is a memory path of a movie with no control.
  RecordingCallback again;
  EXPECT_EQ(streams.resolveBind(first->path, &again, systemUrl), E_FAIL);
}

struct HandlerLog {
  std::vector<std::string> calls;
};

HRESULT CALLBACK decliningHandler(const wchar_t*, IStream**, void*, void* log) {
  static_cast<HandlerLog*>(log)->calls.push_back("decline");
  return E_FAIL;
}
HRESULT CALLBACK writingHandler(const wchar_t* url, IStream** stream, void*, void* log) {
  static_cast<HandlerLog*>(log)->calls.push_back("write");
  if (std::wstring(url).find(L"known") == std::wstring::npos) return E_FAIL;
  writeText(*stream, "written");
  return S_OK;
}
HRESULT CALLBACK replacingHandler(const char*, IStream** stream, void*, void* log) {
  static_cast<HandlerLog*>(log)->calls.push_back("replace");
  IStream* own = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &own);
  writeText(own, "replaced");
  *stream = own;
  return E_FAIL;  // replacing the stream answers whatever the result says
}

TEST(MovieStreams, ResourceHandlersAnswerInOrderOrLeaveTheUrlToTheSystem) {
  MovieStreams streams;
  HandlerLog log;
  EXPECT_EQ(streams.registerResourceHandler(nullptr, decliningHandler, &log), 1);
  EXPECT_EQ(streams.registerResourceHandler(nullptr, writingHandler, &log), 2);
  std::wstring systemUrl;

  RecordingCallback known;
  EXPECT_EQ(streams.resolveBind(L"http://site/known.txt", &known, systemUrl), MK_S_ASYNCHRONOUS);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"decline", "write"}));
  EXPECT_EQ(known.calls, kDelivered);
  EXPECT_EQ(known.data, "written");

  RecordingCallback unknown;
  EXPECT_EQ(streams.resolveBind(L"http://site/other.txt", &unknown, systemUrl), S_FALSE);
  EXPECT_TRUE(systemUrl.empty()) << "the system's moniker binds the URL unchanged";
  EXPECT_TRUE(unknown.calls.empty());

  streams.registerResourceHandler(replacingHandler, nullptr, &log);
  RecordingCallback replaced;
  EXPECT_EQ(streams.resolveBind(L"http://site/third.txt", &replaced, systemUrl), MK_S_ASYNCHRONOUS);
  EXPECT_EQ(replaced.data, "replaced");
}

// A control window that answers the external-resource message for names holding "owner"
// and reports a Base folder.
struct FakeControl {
  std::wstring base;
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakeControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == RegisterWindowMessageA(kLoadExternalResourceMessage)) {
      auto* record = reinterpret_cast<ExternalResourceRecord*>(lParam);
      if (std::wstring(record->url).find(L"owner") != std::wstring::npos) {
        writeText(record->stream, "from the owner");
        record->handled = 1;
      }
      return 0;
    }
    if (message == msg::kGetBaseW && self) {
      auto* record = reinterpret_cast<TextAnswerRecord<wchar_t>*>(lParam);
      if (!record->buffer) {
        record->count = static_cast<uint32_t>(self->base.size() + 1);
      } else {
        wcsncpy(record->buffer, self->base.c_str(), record->count);
      }
      record->result = S_OK;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

TEST(MovieStreams, ResourcesOfAMemoryMovieComeFromTheOwnerOrBesideTheMovie) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FakeControl::procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoFakeControl";
  RegisterClassW(&wc);
  FakeControl fake{L"C:\\movies\\level1"};
  HWND control = CreateWindowW(L"LumoFakeControl", L"", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(control);
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fake));

  MovieStreams streams;
  auto movie = streams.startMovie(control);
  ASSERT_TRUE(movie);
  const std::wstring folder = movie->path.substr(0, movie->path.rfind(L'\\') + 1);
  std::wstring systemUrl;

  RecordingCallback owner;
  EXPECT_EQ(streams.resolveBind(folder + L"owner.txt", &owner, systemUrl), MK_S_ASYNCHRONOUS);
  EXPECT_EQ(owner.data, "from the owner");

  RecordingCallback beside;
  EXPECT_EQ(streams.resolveBind(folder + L"images\\a.jpg", &beside, systemUrl), S_FALSE);
  EXPECT_EQ(systemUrl, L"C:/movies/level1/images/a.jpg");

  fake.base.clear();  // no Base: the current directory
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring expected = current;
  for (auto& c : expected) c = c == L'\\' ? L'/' : c;
  EXPECT_EQ(streams.resolveBind(folder + L"a.jpg", &beside, systemUrl), S_FALSE);
  EXPECT_EQ(systemUrl, expected + (expected.back() == L'/' ? L"" : L"/") + L"a.jpg");
  DestroyWindow(control);
}

// Nothing stale is kept: a movie the player did not take, the movies of a destroyed control and
// a removed resource handler are all forgotten.
TEST(MovieStreams, ForgottenMoviesControlsAndHandlersAreNotAskedAgain) {
  MovieStreams streams;
  HandlerLog log;
  const int handler = streams.registerResourceHandler(nullptr, writingHandler, &log);
  streams.unregisterResourceHandler(handler);
  std::wstring systemUrl;
  RecordingCallback unhandled;
  EXPECT_EQ(streams.resolveBind(L"http://site/known.txt", &unhandled, systemUrl), S_FALSE);
  EXPECT_TRUE(log.calls.empty()) << "a removed handler is not called";

  const HWND control = reinterpret_cast<HWND>(0x1234);  // only compared, never called
  auto abandoned = streams.startMovie(control);
  auto kept = streams.startMovie(control);
  ASSERT_TRUE(abandoned && kept);
  streams.abandonMovie(abandoned->path);
  RecordingCallback first;
  EXPECT_EQ(streams.resolveBind(abandoned->path, &first, systemUrl), E_FAIL) << "its stream is gone";

  streams.forgetControl(control);
  kept->writer.Reset();
  RecordingCallback second;
  EXPECT_EQ(streams.resolveBind(kept->path, &second, systemUrl), E_FAIL) << "the control's movies are gone";
  const std::wstring folder = kept->path.substr(0, kept->path.rfind(L'\\') + 1);
  RecordingCallback resource;
  EXPECT_EQ(streams.resolveBind(folder + L"a.jpg", &resource, systemUrl), E_FAIL) << "its handle is not asked";
}

TEST(MovieStreams, TheWrappingMonikerServesRegisteredMoviesThroughUrlmon) {
  CoInitialize(nullptr);
  MovieStreams streams;
  auto movie = streams.startMovie(nullptr);
  ASSERT_TRUE(movie);
  ComPtr<IMoniker> moniker;
  ASSERT_EQ(streams.createUrlMoniker(&CreateURLMoniker, nullptr, movie->path.c_str(), &moniker), S_OK);

  RecordingCallback player;
  ComPtr<IBindCtx> context;
  ASSERT_EQ(CreateAsyncBindCtx(0, &player, nullptr, &context), S_OK);
  ComPtr<IStream> result;
  EXPECT_EQ(moniker->BindToStorage(context.Get(), nullptr, IID_IStream, &result), MK_S_ASYNCHRONOUS);
  writeText(movie->writer.Get(), "movie");
  movie->writer.Reset();
  EXPECT_EQ(player.calls, kDelivered);
  EXPECT_EQ(player.data, "movie");

  ComPtr<IMoniker> reset;
  ASSERT_EQ(streams.createUrlMoniker(&CreateURLMoniker, nullptr, kResetUrl, &reset), S_OK);
  EXPECT_EQ(reset->BindToStorage(context.Get(), nullptr, IID_IStream, &result), MK_E_NOSTORAGE);
  context.Reset();
  CoUninitialize();
}

TEST(MovieStreams, TheWrappingMonikerKeepsItsIdentity) {
  CoInitialize(nullptr);
  {
    MovieStreams streams;
    ComPtr<IMoniker> moniker;
    ASSERT_EQ(streams.createUrlMoniker(&CreateURLMoniker, nullptr, L"http://example.invalid/a.swf", &moniker), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(moniker.As(&identity), S_OK);
    // Every interface it answers leads back to the same object and to this IMoniker.
    for (const IID* iid : {&IID_IPersist, &IID_IPersistStream, &IID_IAsyncMoniker, &IID_IUriContainer}) {
      ComPtr<IUnknown> other;
      if (FAILED(moniker->QueryInterface(*iid, &other))) continue;
      ComPtr<IUnknown> otherIdentity;
      ComPtr<IMoniker> back;
      ASSERT_EQ(other.As(&otherIdentity), S_OK);
      ASSERT_EQ(other.As(&back), S_OK);
      EXPECT_EQ(otherIdentity.Get(), identity.Get());
      EXPECT_EQ(back.Get(), moniker.Get());
    }
    ComPtr<IUriContainer> uri;
    ASSERT_EQ(moniker.As(&uri), S_OK) << "urlmon's moniker has it, so ours does";
    ComPtr<IUri> parsed;
    ASSERT_EQ(uri->GetIUri(&parsed), S_OK);
    // What urlmon's moniker answers beyond those is not handed out.
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(moniker->QueryInterface(IID_IROTData, &unknown), E_NOINTERFACE);
    EXPECT_EQ(moniker->QueryInterface(IID_IMarshal, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown.Get(), nullptr);
  }
  CoUninitialize();
}

}  // namespace
}  // namespace lumo
