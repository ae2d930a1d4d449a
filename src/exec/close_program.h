#pragma once
// Type "04": ask another program to close by posting WM_CLOSE to one of its
// top-level windows, named by title or by window class.
#include <string>
#include <vector>

#include "platform/services.h"

namespace tarvex::exec {

// `program` is "Titulo[title]", "Classe[class]" or a bare text (a title, or a
// class when no window has that title). Posts the close request to the first
// matching window and lets pending messages through; does not wait for the
// program. True when a window was found and posted to.
bool closeProgramWindows(platform::Windows& w, const std::string& program);

// The same request, then up to `waitMs` for the window to go.
enum class CloseResult { NotFound, Closed, StillOpen };
CloseResult closeProgramAndWait(platform::Windows& w, const std::string& program, int waitMs);

// The title or class the text names, for the operator's messages.
std::string programName(const std::string& program);

// The entries BU_PROCESSOS shows: "Titulo[" + title + "]" for every visible
// top-level window with a title, front to back, without the desktop and
// "Oculta Aplicativos".
std::vector<std::string> windowList(platform::Windows& w);

}  // namespace tarvex::exec
