#pragma once
#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace tarvex::win32 {

// CreateProcessW of a whole command line: the line is copied into a buffer of
// its own length, since the call may write into it. On success the two handles
// in `pi` are the caller's to close. `noInput`: its standard input is NUL, so
// whatever it asks is answered by the end of the input at once.
bool startProcess(const std::string& commandLine, int show, DWORD creationFlags,
                  PROCESS_INFORMATION& pi, bool noInput = false);
// An inheritable handle on NUL for reading: the end of the input, at once.
Handle nothingToRead();

// Waits for `object` (a process, a thread) while the window keeps painting and
// answering: messages are let through as they come (the running flag keeps timers
// and buttons from starting another run). Once the program is asked to end, the
// rest is a plain wait. False when `limitMs` passed first.
bool waitPumping(HANDLE object, DWORD limitMs = INFINITE);

}  // namespace tarvex::win32
