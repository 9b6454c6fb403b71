// The runtime's message box: flag-to-style and answer tables, and the thread-local CBT hook
// that turns OK/Cancel into Abort/Ignore.
#include "util/MessageBoxHelper.h"

#include "CallBoundary.h"

#include <iterator>

namespace lumo {
namespace {

struct FlagStyle {
  unsigned flag;
  UINT style;
};

// Only these exact values count: any other low or high byte adds nothing.
constexpr FlagStyle kIconStyles[] = {
    {MessageBoxFlag::kQuestion, MB_ICONQUESTION},
    {MessageBoxFlag::kError, MB_ICONHAND},
    {MessageBoxFlag::kInformation, MB_ICONASTERISK},
    {MessageBoxFlag::kWarning, MB_ICONEXCLAMATION},
};
constexpr FlagStyle kButtonStyles[] = {
    {MessageBoxFlag::kOk, MB_OK},
    {MessageBoxFlag::kOkCancel, MB_OKCANCEL},
    {MessageBoxFlag::kRetryCancel, MB_RETRYCANCEL},
    {MessageBoxFlag::kYesNo, MB_YESNO},
    {MessageBoxFlag::kYesNoCancel, MB_YESNOCANCEL},
    {MessageBoxFlag::kAbortIgnore, MB_OKCANCEL},
};

struct ButtonAnswer {
  int buttonId;
  int answer;
};
constexpr ButtonAnswer kAnswers[] = {
    {IDOK, MessageBoxAnswer::kOk},       {IDCANCEL, MessageBoxAnswer::kCancel},
    {IDABORT, MessageBoxAnswer::kAbort}, {IDRETRY, MessageBoxAnswer::kRetry},
    {IDIGNORE, MessageBoxAnswer::kIgnore}, {IDYES, MessageBoxAnswer::kYes},
    {IDNO, MessageBoxAnswer::kNo},
};
constexpr ButtonAnswer kRelabelledAnswers[] = {
    {IDOK, MessageBoxAnswer::kAbort},
    {IDCANCEL, MessageBoxAnswer::kIgnore},
};

UINT lookUpStyle(const FlagStyle* begin, const FlagStyle* end, unsigned value) {
  for (auto it = begin; it != end; ++it)
    if (it->flag == value) return it->style;
  return 0;
}

int lookUpAnswer(const ButtonAnswer* begin, const ButtonAnswer* end, int buttonId) {
  for (auto it = begin; it != end; ++it)
    if (it->buttonId == buttonId) return it->answer;
  return MessageBoxAnswer::kOther;
}

}  // namespace

MessageBoxHelper& MessageBoxHelper::instance() {
  static MessageBoxHelper helper;
  return helper;
}

UINT MessageBoxHelper::styleForFlags(unsigned flags) {
  return lookUpStyle(std::begin(kIconStyles), std::end(kIconStyles), flags & 0x00FF) |
         lookUpStyle(std::begin(kButtonStyles), std::end(kButtonStyles), flags & 0xFF00);
}

int MessageBoxHelper::answerFor(int buttonId, unsigned flags) {
  if ((flags & 0xFF00) == MessageBoxFlag::kAbortIgnore)
    return lookUpAnswer(std::begin(kRelabelledAnswers), std::end(kRelabelledAnswers), buttonId);
  return lookUpAnswer(std::begin(kAnswers), std::end(kAnswers), buttonId);
}

MessageBoxRoutine MessageBoxHelper::setRoutine(MessageBoxRoutine routine) {
  MessageBoxRoutine previous = routine_;
  routine_ = routine ? routine : &MessageBoxW;
  return previous;
}

LRESULT CALLBACK MessageBoxHelper::relabelHook(int code, WPARAM wParam, LPARAM lParam) {
  return atBoundary("message box hook", LRESULT{0}, [&]() -> LRESULT {
    HHOOK hook = instance().hook_.get();
    if (code != HCBT_ACTIVATE) return CallNextHookEx(hook, code, wParam, lParam);
    // The box is a dialog; Wine also activates a class-less window as the box closes.
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (lstrcmpW(className, L"#32770") == 0) {
      if (HWND ok = GetDlgItem(window, IDOK)) SetWindowTextW(ok, L"&Abort");
      if (HWND cancel = GetDlgItem(window, IDCANCEL)) SetWindowTextW(cancel, L"&Ignore");
    }
    return 0;
  });
}

int MessageBoxHelper::show(const std::wstring& text, const std::wstring& caption, unsigned flags,
                           HWND owner) {
  const bool relabel = (flags & 0xFF00) == MessageBoxFlag::kAbortIgnore;
  if (relabel)
    hook_.reset(SetWindowsHookExW(WH_CBT, &MessageBoxHelper::relabelHook, nullptr, GetCurrentThreadId()));
  const int button = routine_(owner ? owner : GetDesktopWindow(), text.c_str(), caption.c_str(),
                              styleForFlags(flags));
  if (relabel) hook_.reset();
  return answerFor(button, flags);
}

}  // namespace lumo
