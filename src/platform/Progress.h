#pragma once

// The progress gauge that long operations of the model and the downloaders drive. The main
// window's status bar implements it; without one the calls do nothing.
class TProgressSink
{
public:
    virtual ~TProgressSink() = default;
    virtual void start(int max, int min, int step) = 0;
    virtual void stepIt() = 0;
    virtual void setPosition(int position) = 0;
    virtual void end() = 0;
};

// Installs a sink (not owned) and returns the previous one.
TProgressSink *SetProgressSink(TProgressSink *sink);

// Sets range and step, resets the position to 0 and shows the gauge.
void ProgressStart(int max, int min = 0, int step = 1);
void ProgressStep();
void ProgressSet(int position);
// Hides the gauge and clears its text.
void ProgressEnd();

// Ends the gauge when it goes out of scope, also on errors.
class TProgressGuard
{
public:
    TProgressGuard(int max, int min = 0, int step = 1) { ProgressStart(max, min, step); }
    ~TProgressGuard() { ProgressEnd(); }
    TProgressGuard(const TProgressGuard &) = delete;
    TProgressGuard &operator=(const TProgressGuard &) = delete;
};
