#pragma once
// The login password of refloq-cli comes from standard input only, never
// from the command line (where other users could read it in the process
// list and it would stay in the shell's history).
#include <string>

#include "cli/cli_io.h"

namespace refloq::cli {

enum class PasswordRead { kRead, kNoInput };

// Reads the first line of standard input, without its line feed (and
// without the carriage return of a CR LF line end), into `password`.  The
// bytes are collected in a buffer that is wiped with OPENSSL_cleanse
// whenever it grows, so no copy stays behind in freed memory; the caller
// wipes `password` once the logins are done.  On a terminal it prompts on
// standard error and turns echo off.  A stream that ends before its first
// byte gives kNoInput: there is nothing to wait for.
PasswordRead ReadPassword(CliIo& io, std::string& password);

// Wipes and empties a text that held a secret.
void WipeSecret(std::string& text);

// The message for kNoInput.
inline constexpr char kNoPasswordMessage[] =
    "no password on standard input: give it as the first line, for example "
    "printf '%s\\n' \"$PASSWORD\" | refloq-cli ... (passwords are never "
    "taken from the command line)";

}  // namespace refloq::cli
