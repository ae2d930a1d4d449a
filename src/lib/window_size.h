#pragma once
// The main window's size as designed, in design units (pixels at 96 DPI): the
// pages are laid out for this width, and the window opens at this size until the
// settings give it theirs.
namespace tarvex {

inline constexpr int kDesignWidth = 909;
inline constexpr int kDesignHeight = 670;

}  // namespace tarvex::ui
