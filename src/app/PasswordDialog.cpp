#include "PasswordDialog.h"

#include "CallBoundary.h"

#include "resource.h"

namespace lumo {

namespace {

struct DialogState {
  const std::wstring* title;
  std::wstring typed;
};

INT_PTR CALLBACK passwordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return atBoundary("password dialog procedure", INT_PTR{FALSE}, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, reinterpret_cast<DialogState*>(lParam)->title->c_str());
        return TRUE;
      case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL) return FALSE;
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        wchar_t text[260] = {};
        GetDlgItemTextW(dialog, IDC_PASSWORD_EDIT, text, 260);
        state->typed = text;
        EndDialog(dialog, id);
        return TRUE;
      }
      default:
        return FALSE;
    }
  });
}

}  // namespace

std::optional<std::wstring> askPassword(HINSTANCE instance, const std::wstring& title) {
  DialogState state{&title, {}};
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PASSWORD), GetDesktopWindow(),
                                         passwordDialogProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return state.typed;
}

}  // namespace lumo
