#pragma once

#include <QObject>
#include <QTimer>

namespace dw {

// A window timer as the windows use it: Enabled and Interval are independent,
// an interval of 0 keeps it silent while it stays enabled, and changing the
// interval of an enabled timer starts its countdown afresh.
class WindowTimer : public QObject
{
    Q_OBJECT
public:
    explicit WindowTimer(int interval, bool enabled, QObject* parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }
    void setInterval(int interval);
    // Off and on again: a full interval runs from now.
    void restart();
    // Whether ticks are actually coming (enabled with a non-zero interval).
    bool isTicking() const { return m_timer.isActive(); }
    // Until the next tick, or -1 when none is coming.
    int remainingTime() const { return m_timer.remainingTime(); }

signals:
    void timeout();

private:
    void update();

    QTimer m_timer;
    int m_interval;
    bool m_enabled;
};

} // namespace dw
