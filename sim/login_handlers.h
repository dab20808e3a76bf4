#pragma once
// The login side of a simulated scanner: the handlers of LOGIN_FUNCTION and
// of the login's LOCK_FUNCTION parameters (9 and 2).
//
// LOGIN_FUNCTION 1 reports the login mode.  LOGIN_FUNCTION 2 makes a fresh
// challenge value (64 hexadecimal characters) and hands it out enciphered
// with the scanner's password as a salted text.  LOGIN_FUNCTION 3 deciphers
// the answer with the password and checks it against that challenge (see
// CheckLoginAnswer); it replies 0 or LOGIN_REJECTED.  A rejection counts
// one failure; an acceptance clears the count.  While the lock-out rule is
// in force and the failures reached the limit, every answer is rejected.
// LOCK_FUNCTION 9 records the lock record and replies LOGIN_REJECTED when
// its password part is not the scanner's (a failed attempt acknowledged);
// LOCK_FUNCTION 2 records the attempt id.  A scanner without a password
// hands out a zeroed challenge and accepts every answer.
#include "sim/device_engine.h"

namespace refloq::sim {

Response LoginFunction(ScannerState& state, const Request& request);
Response ReceiveLockRecord(ScannerState& state, const Request& request);
Response ReceiveAttemptId(ScannerState& state, const Request& request);

}  // namespace refloq::sim
