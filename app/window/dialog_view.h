#pragma once
// The dialog as the window logic sees it: the model's observer, the
// message boxes and the password dialog.  The Win32 window, refloq-cli and
// the tests' recording view implement it; the logic never knows which.
//
// Threads: ModelChanged comes from any thread and must not block.
// ShowMessage and AskPassword come from the window's thread (start-up) or
// from the logic's command thread; they block the caller until the user
// has answered, and must not need the caller's thread to do so.
#include <string>
#include <string_view>

#include "app/window/window_model.h"

namespace refloq::window {

enum class MessageButtons { kOk, kOkCancel };
enum class MessageAnswer { kOk, kCancel };

// The password dialog's texts (label 1011, buttons 1 and 2); its caption
// is empty.
struct PasswordDialogTexts {
  std::string label;
  std::string login;
  std::string cancel;
};

struct PasswordAnswer {
  bool login = false;  // ended with Login (else Cancel, Escape, closed)
  // What was typed; the logic wipes it once the logins are done.
  std::string text;
  // The text is UTF-8 from a dialog and goes to the scanner in the ANSI
  // code page; true when it is already the bytes to send (refloq-cli's
  // standard input).
  bool single_byte = false;
};

class DialogView : public ModelObserver {
 public:
  // A message box; `caption` empty stands for the application's name.
  virtual MessageAnswer ShowMessage(std::string_view text,
                                    std::string_view caption,
                                    MessageButtons buttons) = 0;
  // The password dialog, modal.
  virtual PasswordAnswer AskPassword(const PasswordDialogTexts& texts) = 0;
};

}  // namespace refloq::window
