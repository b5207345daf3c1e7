#include "platform/WindowTimer.h"

namespace dw {

WindowTimer::WindowTimer(int interval, bool enabled, QObject* parent)
    : QObject(parent), m_interval(interval), m_enabled(enabled)
{
    connect(&m_timer, &QTimer::timeout, this, &WindowTimer::timeout);
    update();
}

void WindowTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void WindowTimer::setInterval(int interval)
{
    if (interval == m_interval)
        return;
    m_interval = interval;
    update();
}

void WindowTimer::restart()
{
    setEnabled(false);
    setEnabled(true);
}

void WindowTimer::update()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
}

} // namespace dw
