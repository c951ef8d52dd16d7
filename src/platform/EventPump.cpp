#include "platform/EventPump.h"

#include <QCoreApplication>

namespace {

std::function<void()> &pump()
{
    static std::function<void()> f;
    return f;
}

std::function<void(TBusyCursor::TShape)> &pushHook()
{
    static std::function<void(TBusyCursor::TShape)> f;
    return f;
}

std::function<void()> &popHook()
{
    static std::function<void()> f;
    return f;
}

} // namespace

void ProcessPendingEvents()
{
    if (pump())
        pump()();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void SetEventPump(std::function<void()> f)
{
    pump() = std::move(f);
}

TBusyCursor::TBusyCursor(TShape shape)
{
    if (pushHook())
        pushHook()(shape);
}

TBusyCursor::~TBusyCursor()
{
    if (popHook())
        popHook()();
}

void TBusyCursor::SetHooks(std::function<void(TShape)> push, std::function<void()> pop)
{
    pushHook() = std::move(push);
    popHook() = std::move(pop);
}
