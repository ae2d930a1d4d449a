#pragma once
// A one-shot or repeating timer as the core arms it; the window's message loop
// (or a test's virtual clock) makes it fire.
namespace tarvex::platform {

class Timer {
public:
    virtual ~Timer() = default;
    // Starts counting `ms` from now; a timer already counting starts again.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool counting() const = 0;
};

}  // namespace tarvex::platform
