#pragma once
// Text in the thread's ANSI code page, for the few payloads that a scanner
// takes as single-byte text (the login password).  Windows converts with
// the system's code page and refuses a character that it cannot hold
// rather than sending a best-fit or default byte; Linux has no ANSI code
// page and takes UTF-8 as it is (its locales are UTF-8).
#include <string>
#include <string_view>

namespace refloq::platform {

// Converts UTF-8 `text` into `bytes`; false (and `bytes` empty) when the
// text is not valid UTF-8 or holds a character the code page cannot hold.
// Every intermediate copy is wiped: the text may be a password.
bool ToAnsiCodePage(std::string_view text, std::string& bytes);

}  // namespace refloq::platform
