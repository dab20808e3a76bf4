#pragma once
// The exit codes of refloq-cli: part of its interface, scripts test them.
namespace refloq::cli {

enum ExitCode : int {
  kExitDone = 0,    // every scanner did what was asked
  kExitFailed = 1,  // a scanner failed, refused or was not found
  kExitUsage = 2,   // wrong usage or bad input (address, package, password)
};

}  // namespace refloq::cli
