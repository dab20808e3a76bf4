#pragma once
// The MessageID of a probe: a fresh UUID as 36 upper-case hexadecimal
// characters ("%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X").  One
// MessageID serves every cycle on one local address; answers are matched
// to it case-sensitively.
#include <string>

namespace refloq::discovery {

std::string NewMessageId();

}  // namespace refloq::discovery
