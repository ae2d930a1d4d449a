#pragma once
// A batch runs in a console of its own that the operator watches (XCOPY's
// progress, a last PAUSE). To keep its last lines for a failure's e-mail, the
// console's first process is a small relay: tarvex.exe started with kRelaySwitch.
// The relay starts the command in that console with its output on a pipe, shows
// everything in the console as it comes and passes it on to TARVEX. TARVEX itself
// never joins the console: closing a console ends every process attached to it.
#include <windows.h>

#include <optional>
#include <string>

#include "win32/handles.h"

namespace tarvex::win32 {

inline constexpr const wchar_t* kRelaySwitch = L"/SAIDA-DO-CONSOLE";
// A console left open for the operator after a run that asked for a pause: it
// shows what comes on its input and waits for a key, the run long decided.
inline constexpr const wchar_t* kPauseSwitch = L"/PAUSA-DO-CONSOLE";

// First thing in WinMain: when this process was started as a relay, it relays
// and gives the command's exit status (or keeps its console for the operator);
// otherwise nothing happens.
std::optional<int> runAsRelay();

// From now on commands run through this program as their relay (tarvex.exe sets
// it; a test program that cannot relay leaves it, and its commands write straight
// to their console).
void enableRelay();

// The relay for `commandLine`, started suspended in a new console; `output` gets
// the end of the pipe that brings what the command writes, in Windows-1252.
// False (nothing started) when there is no relay or it could not start.
bool startRelayed(const std::string& commandLine, int show, PROCESS_INFORMATION& pi, Handle& output);

// A relay's status for "the command could not be started", with the system's error.
bool relayCouldNotStart(DWORD status, int& error);
// A relay's status for "the command was ended: it asked a question over and over".
bool relayEndedUnanswered(DWORD status);

// `text` (Windows-1252) in a new console titled `title`, which waits for a key;
// not waited for. Nothing when this program cannot relay.
void showAndPause(const std::string& title, const std::string& text);

}  // namespace tarvex::win32
