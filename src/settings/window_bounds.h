#pragma once
// The main window's position and size as the settings keep them: always the
// rectangle of its normal state. Saved while the window is minimised (or hidden
// in the notification area) or maximised, its current rectangle would be the
// icon's or the screen's, and the next start would open it there.
#include "settings/settings.h"

namespace tarvex::settings {

struct Bounds {
    int top = 10, left = 10, width = 900, height = 670;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

Bounds boundsOf(const Settings& s);
void setBounds(Settings& s, const Bounds& b);

// The window reports every move and size with its state at that moment; only
// rectangles of the normal state are kept. Start it with the bounds read at start-up.
class NormalBounds {
public:
    explicit NormalBounds(Bounds initial = {}) : bounds_(initial) {}
    void moved(const Bounds& b, bool normalState) {
        if (normalState) bounds_ = b;
    }
    const Bounds& bounds() const { return bounds_; }

private:
    Bounds bounds_;
};

}  // namespace tarvex::settings
