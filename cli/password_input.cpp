#include "cli/password_input.h"

#include <openssl/crypto.h>

#include <istream>

#include "platform/terminal.h"

namespace refloq::cli {

void WipeSecret(std::string& text) {
  if (text.capacity() > 0) OPENSSL_cleanse(text.data(), text.capacity());
  text.clear();
}

namespace {

// Appends one byte; when the buffer is full it moves to a buffer twice the
// size and wipes the old one (std::string would free it unwiped).
void AppendSecret(std::string& buffer, char c) {
  if (buffer.size() == buffer.capacity()) {
    std::string larger;
    larger.reserve(buffer.capacity() * 2 + 64);
    larger.assign(buffer);
    WipeSecret(buffer);
    buffer.swap(larger);
  }
  buffer.push_back(c);
}

PasswordRead ReadLine(std::istream& in, std::string& password) {
  WipeSecret(password);
  password.reserve(128);
  bool any = false;
  for (;;) {
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) break;
    any = true;
    if (c == '\n') break;
    AppendSecret(password, static_cast<char>(c));
  }
  if (!password.empty() && password.back() == '\r') {
    password.back() = '\0';
    password.pop_back();
  }
  return any ? PasswordRead::kRead : PasswordRead::kNoInput;
}

}  // namespace

PasswordRead ReadPassword(CliIo& io, std::string& password) {
  if (!io.input_is_terminal) return ReadLine(io.in, password);
  io.err << "Password: " << std::flush;
  PasswordRead result;
  {
    platform::EchoOff echo_off;
    result = ReadLine(io.in, password);
  }
  io.err << '\n' << std::flush;
  return result;
}

}  // namespace refloq::cli
