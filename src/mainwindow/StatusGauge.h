#pragma once

#include "platform/Progress.h"

class QProgressBar;

// The progress gauge in the third panel of the main window's status bar.
class TStatusGauge : public TProgressSink
{
public:
    explicit TStatusGauge(QProgressBar *bar);
    void start(int max, int min, int step) override;
    void stepIt() override;
    void setPosition(int position) override;
    void end() override;

private:
    QProgressBar *m_bar;
    int m_step = 1;
};
