#pragma once
// The Tarefas screen's small button pictures, drawn in code at 16 pixels.
#include <windows.h>

namespace tarvex::win32 {

enum class Glyph { Add, Up, Up5, Down, Down5, Reload, Delete, File, Send, Build };

// Made once per glyph; kept for the program's life.
HICON glyphIcon(Glyph glyph);

}  // namespace tarvex::win32
