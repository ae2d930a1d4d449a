#pragma once
// Drives a window of this or another process the way UI automation does: finds
// controls by their name property, types, clicks and reads, pumping this
// thread's messages while it waits.
#include <windows.h>

#include <functional>
#include <string>

namespace tarvex::testui {

// Processes this thread's pending messages.
void pump();
// Pumps until `done` holds or `ms` pass; the result of the last check.
bool waitFor(const std::function<bool()>& done, int ms = 5000);

std::string nameOf(HWND h);
HWND findByName(HWND root, const std::string& name);
// A descendant of `root` whose text is `text` (an option button, a box's button).
HWND findByText(HWND root, const std::string& text);
// A top-level window (shown or hidden) whose name property is `name`; of the
// process `pid` only, when given.
HWND findTopByName(const std::string& name, DWORD pid = 0);

// The text of a window, asked by message so it works across processes.
std::string readText(HWND h);
void typeText(HWND h, const std::string& text);   // posts one WM_CHAR per character
void click(HWND h);                                // mouse down and up at its centre
void pressKey(HWND h, WPARAM key);

}  // namespace tarvex::testui
