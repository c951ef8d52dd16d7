#pragma once

#include <functional>

// Long work lets pending window events run through this one hook, so the window stays responsive
// and the abort button works. The default pumps the Qt event loop when an application exists.
void ProcessPendingEvents();
// Installs a hook; an empty function restores the default.
void SetEventPump(std::function<void()> pump);

// Shows the wait cursor for as long as it lives, through the installed cursor hook (none in
// programs without windows). Guards nest.
class TBusyCursor
{
public:
    enum class TShape { Wait, AppStart };
    explicit TBusyCursor(TShape shape = TShape::Wait);
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;

    // push(shape) / pop(), called by the guards.
    static void SetHooks(std::function<void(TShape)> push, std::function<void()> pop);
};
