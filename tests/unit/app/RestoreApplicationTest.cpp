// The application's restore over the forms table: a form whose restore handler closes a form
// (taking it out of the table) does not upset the walk over the others.
#include "RuntimeApp.h"

#include "bridge/CommandEngine.h"

#include "../bridge/FakeForm.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace lumo {
namespace {

// One shown window for the whole program: the forms' windows are its children, so that they
// count as visible and no top-level window is hidden per case (Wine waits on each without a
// window manager).
HWND screenWindow() {
  static HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 10, nullptr, nullptr, nullptr, nullptr);
  return window;
}

// A form with a visible window of its own that counts its restores and runs a handler then.
class RestoredForm final : public test::FakeForm {
 public:
  explicit RestoredForm(int formId)
      : FakeForm(formId, L"form" + std::to_wstring(formId)),
        window_(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, formId * 10, 0, 10, 10, screenWindow(),
                                nullptr, nullptr, nullptr)) {}
  ~RestoredForm() override { DestroyWindow(window_); }
  HWND windowHandle() const override { return window_; }
  void restore() override {
    ++restores;
    if (onRestore) onRestore();
  }

  int restores = 0;
  std::function<void()> onRestore;

 private:
  HWND window_;
};

struct ClosingCase {
  const char* name;
  int closedId;                   // the form form 1's handler closes
  std::map<int, int> restores;    // by form id
};

void PrintTo(const ClosingCase& c, std::ostream* os) { *os << c.name; }

class RestoreApplication : public testing::TestWithParam<ClosingCase> {};

TEST_P(RestoreApplication, AFormClosedByARestoreHandlerLeavesTheOthersRestoredOnce) {
  auto& engine = CommandEngine::instance();
  std::vector<std::unique_ptr<RestoredForm>> forms;
  for (int id = 0; id < 4; ++id) {
    forms.push_back(std::make_unique<RestoredForm>(id));
    ASSERT_TRUE(IsWindowVisible(forms.back()->windowHandle()));
    engine.addForm(id, forms.back().get());
  }
  const int closed = GetParam().closedId;
  forms[1]->onRestore = [&engine, closed] { engine.removeForm(closed); };  // as a form's close does

  RuntimeApp::instance().restoreApplication();

  std::map<int, int> restores;
  for (const auto& form : forms) restores[form->id()] = form->restores;
  EXPECT_EQ(restores, GetParam().restores);
  for (int id = 0; id < 4; ++id) engine.removeForm(id);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RestoreApplication,
    testing::Values(ClosingCase{"ItsOwnForm", 1, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}},
                    ClosingCase{"ALaterForm", 2, {{0, 1}, {1, 1}, {2, 0}, {3, 1}}}),
    [](const testing::TestParamInfo<ClosingCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumo
