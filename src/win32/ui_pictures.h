#pragma once
// The program's pictures, drawn in code: button glyphs, the two notification-area
// pictures, the program's icon, the "Iconizar" backdrop and the maker's logo.
// Simple shapes, so they stay clear at 16 pixels.
#include <windows.h>

namespace tarvex::win32 {

enum class Picture { Calendar, Tasks, Today, Help, TrayIdle, TrayBusy, TrayWarning };

// Made once per picture and size; kept for the program's life.
HICON pictureIcon(Picture picture, int size);
HBITMAP iconizarBackdrop();
HBITMAP makerLogo();

}  // namespace tarvex::win32
