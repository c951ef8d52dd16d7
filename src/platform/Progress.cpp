#include "platform/Progress.h"

namespace {
TProgressSink *g_sink = nullptr;
}

TProgressSink *SetProgressSink(TProgressSink *sink)
{
    TProgressSink *old = g_sink;
    g_sink = sink;
    return old;
}

void ProgressStart(int max, int min, int step)
{
    if (g_sink)
        g_sink->start(max, min, step);
}

void ProgressStep()
{
    if (g_sink)
        g_sink->stepIt();
}

void ProgressSet(int position)
{
    if (g_sink)
        g_sink->setPosition(position);
}

void ProgressEnd()
{
    if (g_sink)
        g_sink->end();
}
