#pragma once
// What the widgets of the renderer need from it: a way to deliver the user's input under the
// host's baton, and whether a change comes from the renderer's own sync (then it is no input).
#include "platform/ui/Runtime.h"

#include <functional>
#include <string>

class QtHost {
public:
    virtual ~QtHost() = default;
    // Runs `action` (an Input... call) under the host's baton as soon as the threads give way,
    // in the order the user acted; a refusal is ignored (the widget is brought back in line).
    virtual void Input(std::function<std::string()> action) = 0;
    // True while the renderer brings widgets in line with the models.
    virtual bool Syncing() const = 0;
};

// The host's baton if it can be had at once (painting must not wait for a busy thread).
class TryBaton {
public:
    TryBaton() : held_(Runtime::HostTryAcquire(0)) {}
    ~TryBaton()
    {
        if (held_)
            Runtime::HostRelease();
    }
    TryBaton(const TryBaton&) = delete;
    TryBaton& operator=(const TryBaton&) = delete;
    bool Held() const { return held_; }

private:
    bool held_;
};
