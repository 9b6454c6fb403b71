// The player module's life: creation (COM, working-set timer), loading through the image loader
// with the hook table as import resolver, the control classes, unloading and destruction.
#include "host/PlayerModule.h"

#include <objbase.h>

#include "host/ControlClasses.h"
#include "host/ExecutableStub.h"
#include "host/HookTable.h"
#include "host/ImageLoader.h"
#include "host/InstalledControl.h"
#include "host/WorkingSetTimer.h"
#include "util/DebugOutput.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace lumo {
namespace {

LRESULT CALLBACK defaultControlProcedure(PlayerModule*, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// Resolves imports through the hook table: a named import the table replaces becomes a thunk
// that calls the replacement with the real function and this module.
class PlayerModule::HookResolver : public ImportResolver {
 public:
  explicit HookResolver(PlayerModule& module) : module_(module) {}

  FARPROC resolve(const char* library, const char* name, FARPROC real, void** slot) override {
    const HookEntry* hook = name ? findHook(name) : nullptr;
    if (!hook || !hook->replacement) return real;
    std::unique_ptr<ExecutableStub> thunk = ExecutableStub::hookThunk(
        reinterpret_cast<const void*>(real), &module_, hook->replacement, hook->argumentCount);
    if (!thunk) return real;
    const auto entry = reinterpret_cast<FARPROC>(thunk->entry());
    module_.hookThunks_.push_back(std::move(thunk));
    module_.hookedImports_.push_back({library, name, slot});
    return entry;
  }
  void mapped(LoadedImage& image) override { module_.mapping_ = &image; }
  bool resolvesDelayed(const char* name) override {
    const HookEntry* hook = findHook(name);
    return hook && hook->replacement;
  }

 private:
  PlayerModule& module_;
};

PlayerModule::PlayerModule(PlayerModuleOptions options) : options_(std::move(options)) {
  const HRESULT com = CoInitialize(nullptr);
  comInitialised_ = SUCCEEDED(com);
  workingSetTimer_ = std::make_unique<WorkingSetTimer>();
  streams_ = options_.streams ? std::move(options_.streams) : std::make_unique<StreamInterception>();
  if (!options_.controlProcedure) options_.controlProcedure = defaultControlProcedure;
}

PlayerModule::~PlayerModule() {
  controlClasses_.reset();  // unregisters both classes, releases the stub
  workingSetTimer_.reset();
  // The image detaches while its hooks and their state still exist: its detach code may call them.
  unload();
  hookThunks_.clear();
  lateThunks_.clear();
  classNames_.clear();
  cursors_.clear();
  sound_.clear();
  streams_.reset();
  if (comInitialised_) CoUninitialize();
}

std::unique_ptr<PlayerModule> PlayerModule::loadFromMemory(const void* image, size_t size,
                                                           PlayerModuleOptions options) {
  auto module = std::make_unique<PlayerModule>(std::move(options));
  if (FAILED(module->load(image, size))) return nullptr;
  return module;
}

HRESULT PlayerModule::load(const void* image, size_t size) {
  unload();
  const size_t thunksBefore = hookThunks_.size();
  HookResolver resolver(*this);
  std::unique_ptr<LoadedImage> loaded;
  if (image) {
    loaded = ImageLoader::load(image, size, &resolver, &lastFailure_);
  } else {
    InstalledControl installed;
    if (!installed.open()) {
      lastFailure_ = "installed control";
      return E_FAIL;
    }
    loaded = ImageLoader::load(installed.data(), installed.size(), &resolver, &lastFailure_);
  }
  if (!loaded) {
    // The refused image is freed: its import slots and the thunks made for it go with it.
    mapping_ = nullptr;
    hookedImports_.clear();
    hookThunks_.resize(thunksBefore);
    debugOutput(("player module: loading stopped at " + lastFailure_).c_str());
    return E_FAIL;
  }
  lastFailure_.clear();
  image_ = std::move(loaded);
  imageBase_ = image_->module();
  if (!controlClasses_) {
    controlClasses_ = std::make_unique<ControlClasses>();
    controlClasses_->registerClasses(this, reinterpret_cast<const void*>(options_.controlProcedure),
                                     options_.ansiClassName, options_.wideClassName, runtimeInstance());
  }
  return S_OK;
}

void PlayerModule::unload() {
  imageBase_ = nullptr;
  image_.reset();
  mapping_ = nullptr;
  hookedImports_.clear();
}

FARPROC PlayerModule::replacementFor(HMODULE library, const char* name, FARPROC found) {
  if (!found) return nullptr;
  const HookEntry* hook = nullptr;
  if (!IS_INTRESOURCE(name)) {
    hook = findHook(name);
  } else {
    // By ordinal: the hooked function is recognised by its address.
    size_t count = 0;
    const HookEntry* table = hookTable(count);
    for (size_t i = 0; i < count && !hook; ++i) {
      if (table[i].replacement && GetProcAddress(library, table[i].function) == found) hook = &table[i];
    }
  }
  if (!hook || !hook->replacement) return found;
  std::lock_guard<std::mutex> hold(lateThunkLock_);
  std::unique_ptr<ExecutableStub>& thunk = lateThunks_[found];
  if (!thunk) {
    thunk = ExecutableStub::hookThunk(reinterpret_cast<const void*>(found), this, hook->replacement,
                                      hook->argumentCount);
    if (!thunk) return found;
  }
  return reinterpret_cast<FARPROC>(thunk->entry());
}

FARPROC PlayerModule::exportAddress(const char* name) const {
  return image_ ? image_->exportAddress(name) : nullptr;
}

std::optional<ImageResource> PlayerModule::findResource(const char* type, const char* name) const {
  if (!image_) return std::nullopt;
  return image_->findResource(type, name);
}

ATOM PlayerModule::controlClassAtom() const { return controlClasses_ ? controlClasses_->wideAtom() : 0; }
ATOM PlayerModule::ansiControlClassAtom() const { return controlClasses_ ? controlClasses_->ansiAtom() : 0; }

HINSTANCE PlayerModule::runtimeInstance() const { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace lumo
