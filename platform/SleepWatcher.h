#pragma once

#include <QObject>

namespace dw {

// Tells when the machine wakes from sleep, as logind announces it on the system
// bus (PrepareForSleep(false)). Without a system bus or logind it stays silent;
// the core's look at the clocks covers that case.
class SleepWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SleepWatcher(QObject* parent = nullptr);

signals:
    void woke();

private slots:
    void prepareForSleep(bool sleeping);
};

} // namespace dw
