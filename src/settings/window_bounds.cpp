#include "settings/window_bounds.h"

namespace tarvex::settings {

Bounds boundsOf(const Settings& s) { return {s.top, s.left, s.width, s.height}; }

void setBounds(Settings& s, const Bounds& b) {
    s.top = b.top;
    s.left = b.left;
    s.width = b.width;
    s.height = b.height;
}

}  // namespace tarvex::settings
