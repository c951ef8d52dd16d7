#include "mainwindow/StatusGauge.h"

#include <QProgressBar>

TStatusGauge::TStatusGauge(QProgressBar *bar)
    : m_bar(bar)
{
}

void TStatusGauge::start(int max, int min, int step)
{
    m_step = step;
    m_bar->setRange(min, std::max(min, max));
    m_bar->setValue(min);
    m_bar->setVisible(true);
}

void TStatusGauge::stepIt()
{
    m_bar->setValue(std::min(m_bar->maximum(), m_bar->value() + m_step));
}

void TStatusGauge::setPosition(int position)
{
    m_bar->setValue(std::clamp(position, m_bar->minimum(), m_bar->maximum()));
}

void TStatusGauge::end()
{
    m_bar->setVisible(false);
    m_bar->setFormat(QStringLiteral("%p%"));
    m_bar->reset();
}
